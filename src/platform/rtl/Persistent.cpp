// TObject class names and TPersistent's assignment protocol.
#include "platform/rtl/Persistent.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"

#include <cstdlib>
#include <cxxabi.h>
#include <memory>
#include <typeinfo>

namespace mv {

String TObject::ClassName() const {
    const char* mangled = typeid(*this).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(mangled, nullptr, nullptr, &status),
                                                     std::free);
    std::string name = status == 0 && demangled ? demangled.get() : mangled;
    // Drop namespaces; template arguments do not occur in our class names.
    auto colon = name.rfind("::");
    if (colon != std::string::npos) name.erase(0, colon + 2);
    return String(name.begin(), name.end());
}

void TPersistent::Assign(const TPersistent* source) {
    if (source) {
        source->AssignTo(this);
        return;
    }
    AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* dest) const {
    dest->AssignError(this);
}

void TPersistent::AssignError(const TPersistent* source) const {
    String sourceName = source ? source->ClassName() : String(u"nil");
    throw EConvertError(Format(SysConst::SAssignError, {sourceName, ClassName()}));
}

String TPersistent::GetNamePath() const {
    return ClassName();
}

} // namespace mv
