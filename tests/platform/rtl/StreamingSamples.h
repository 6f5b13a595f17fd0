// Sample classes for the property registry and text form tests: a form-like root, a
// panel publishing one property of every kind, nested panels, a data-set-like component
// reached by "."-path, a collection and an owned sub-object.
#pragma once

#include "platform/rtl/Collection.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/TypInfo.h"

#include <memory>
#include <vector>

namespace mv::samples {

enum TAlignKind { alNone, alTop, alBottom, alClient };
enum TLineFlag { lfBold, lfItalic, lfUnderline, lfStrike };
using TLineFlags = Set<TLineFlag>;
enum TCursorKind { clUseServer, clUseClient };

inline const std::shared_ptr<const TEnumInfo>& AlignInfo() {
    static const auto info = MakeEnumInfo(u"TAlignKind", {u"alNone", u"alTop", u"alBottom", u"alClient"});
    return info;
}
inline const std::shared_ptr<const TEnumInfo>& LineFlagInfo() {
    static const auto info =
        MakeEnumInfo(u"TLineFlag", {u"lfBold", u"lfItalic", u"lfUnderline", u"lfStrike"});
    return info;
}
inline const std::shared_ptr<const TEnumInfo>& CursorInfo() {
    static const auto info = MakeEnumInfo(u"TCursorKind", {u"clUseServer", u"clUseClient"});
    return info;
}

inline void RegisterSampleColors() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterIntegerConsts(u"TColor", {{0x0000FF, u"clRed"}, {0xFFFFFF, u"clWhite"}, {0, u"clBlack"}});
}

class TSampleFont : public TPersistent {
    MV_CLASS(TSampleFont, TPersistent);
    const String& Name() const { return FName; }
    void SetName(const String& v) { FName = v; }
    Integer Size() const { return FSize; }
    void SetSize(Integer v) { FSize = v; }
    bool IsNameStored() const { return FName != u"Sans"; }
    void Assign(const TPersistent* source) override {
        if (auto* f = dynamic_cast<const TSampleFont*>(source)) {
            FName = f->FName;
            FSize = f->FSize;
            return;
        }
        TPersistent::Assign(source);
    }
    static void RegisterProperties(TPropertyRegistrar<TSampleFont>& r) {
        r.StringProp(u"Name", &TSampleFont::Name, &TSampleFont::SetName).Stored(&TSampleFont::IsNameStored);
        r.IntegerProp(u"Size", &TSampleFont::Size, &TSampleFont::SetSize).Default(9);
    }

private:
    String FName = u"Sans";
    Integer FSize = 9;
};

class TSampleData : public TComponent {
    MV_CLASS(TSampleData, TComponent);
    using TComponent::TComponent;
    String CommandText, FileName;
    TCursorKind Cursor = clUseServer;
    static void RegisterProperties(TPropertyRegistrar<TSampleData>& r) {
        r.StringProp(
            u"CommandText", [](const TSampleData& d) { return d.CommandText; },
            [](TSampleData& d, const String& v) { d.CommandText = v; });
        r.StringProp(
            u"FileName", [](const TSampleData& d) { return d.FileName; },
            [](TSampleData& d, const String& v) { d.FileName = v; });
        r.EnumProp(
             u"CursorLocation", CursorInfo(), [](const TSampleData& d) { return d.Cursor; },
             [](TSampleData& d, TCursorKind v) { d.Cursor = v; })
            .Default(clUseServer);
    }
};

class TSampleItem : public TCollectionItem {
    MV_CLASS(TSampleItem, TCollectionItem);
    using TCollectionItem::TCollectionItem;
    String FieldName;
    Integer Width = 64;
    bool Visible = true;
    TComponent* Source = nullptr;
    static void RegisterProperties(TPropertyRegistrar<TSampleItem>& r) {
        r.StringProp(
            u"FieldName", [](const TSampleItem& i) { return i.FieldName; },
            [](TSampleItem& i, const String& v) { i.FieldName = v; });
        r.IntegerProp(
             u"Width", [](const TSampleItem& i) { return i.Width; },
             [](TSampleItem& i, Integer v) { i.Width = v; })
            .Default(64);
        r.BooleanProp(
             u"Visible", [](const TSampleItem& i) { return i.Visible; },
             [](TSampleItem& i, bool v) { i.Visible = v; })
            .Default(true);
        r.ObjectProp<TComponent>(
            u"Source", [](const TSampleItem& i) { return i.Source; },
            [](TSampleItem& i, TComponent* v) { i.Source = v; });
    }
};

// Publishes one property of every kind; nested panels are its children.
class TSamplePanel : public TComponent {
    MV_CLASS(TSamplePanel, TComponent);
    explicit TSamplePanel(TComponent* owner)
        : TComponent(owner), FColumns(this, TCollection::ItemClassOf<TSampleItem>()),
          FExtra(this, TCollection::ItemClassOf<TSampleItem>()) {}
    ~TSamplePanel() override {
        SetParentComponent(nullptr);
        for (TSamplePanel* child : FChildren)
            child->FParentPanel = nullptr;
        SetSource(nullptr);
    }

    String Caption;
    Integer Width = 100;
    Int64 Big = 0;
    double Ratio = 0;
    TAlignKind Align = alNone;
    TLineFlags Flags;
    Integer Color = 0xFFFFFF;
    bool Visible = true;
    bool Secret = false; // stored only while true
    String OrderText;    // a DefineProperty entry, written when not empty
    std::vector<Byte> Blob;
    int LoadedCalls = 0;
    bool SourceSeenInLoaded = false;
    String OrderTextRead;

    TStringList& Items() { return FItems; }
    TOwnedCollection& Columns() { return FColumns; }
    TOwnedCollection& Extra() { return FExtra; }
    TSampleFont& Font() { return FFont; }
    TComponent* Source() const { return FSource; }
    void SetSource(TComponent* v) {
        if (FSource) FSource->RemoveFreeNotification(this);
        FSource = v;
        if (FSource) FSource->FreeNotification(this);
    }
    TSampleData* DataSet = nullptr;
    TSamplePanel* ParentPanel() const { return FParentPanel; }
    const std::vector<TSamplePanel*>& ChildPanels() const { return FChildren; }

    void Notification(TComponent* component, TOperation operation) override {
        if (operation == opRemove && component == FSource) FSource = nullptr;
        if (operation == opRemove && component == DataSet) DataSet = nullptr;
        TComponent::Notification(component, operation);
    }
    void GetChildren(const TGetChildProc& proc, TComponent*) override {
        for (TSamplePanel* child : FChildren)
            proc(child);
    }
    TComponent* GetParentComponent() const override { return FParentPanel; }
    void SetParentComponent(TComponent* value) override {
        if (FParentPanel) std::erase(FParentPanel->FChildren, this);
        FParentPanel = dynamic_cast<TSamplePanel*>(value);
        if (FParentPanel) FParentPanel->FChildren.push_back(this);
    }

    static void RegisterProperties(TPropertyRegistrar<TSamplePanel>& r) {
        using P = TSamplePanel;
        r.StringProp(
            u"Caption", [](const P& p) { return p.Caption; }, [](P& p, StringView v) { p.Caption = v; });
        r.IntegerProp(
             u"Width", [](const P& p) { return p.Width; }, [](P& p, Integer v) { p.Width = v; })
            .Default(100);
        r.Int64Prop(
             u"Big", [](const P& p) { return p.Big; }, [](P& p, Int64 v) { p.Big = v; })
            .Default(0);
        r.FloatProp(
            u"Ratio", [](const P& p) { return p.Ratio; }, [](P& p, double v) { p.Ratio = v; });
        r.EnumProp(
             u"Align", AlignInfo(), [](const P& p) { return p.Align; },
             [](P& p, TAlignKind v) { p.Align = v; })
            .Default(alNone);
        r.SetProp(
             u"Flags", LineFlagInfo(), [](const P& p) { return p.Flags; },
             [](P& p, TLineFlags v) { p.Flags = v; })
            .Default(TLineFlags{});
        r.ColorProp(
             u"Color", [](const P& p) { return p.Color; }, [](P& p, Integer v) { p.Color = v; })
            .Default(0xFFFFFF);
        r.BooleanProp(
             u"Visible", [](const P& p) { return p.Visible; }, [](P& p, bool v) { p.Visible = v; })
            .Default(true);
        r.BooleanProp(
             u"Secret", [](const P& p) { return p.Secret; }, [](P& p, bool v) { p.Secret = v; })
            .Stored([](const P& p) { return p.Secret; });
        r.ObjectProp<TStrings>(
            u"Items", [](const P& p) { return const_cast<TStringList*>(&p.FItems); },
            [](P& p, TStrings* v) { p.FItems.Assign(v); });
        r.CollectionProp<TOwnedCollection, TSampleItem>(
            u"Columns", [](const P& p) { return const_cast<TOwnedCollection*>(&p.FColumns); },
            [](P& p, TOwnedCollection* v) { p.FColumns.Assign(v); });
        r.ObjectProp<TSampleFont>(
            u"Font", [](const P& p) { return const_cast<TSampleFont*>(&p.FFont); },
            [](P& p, TSampleFont* v) { p.FFont.Assign(v); });
        r.ObjectProp<TComponent>(u"Source", &P::Source, &P::SetSource);
        r.ObjectProp<TSampleData>(
            u"DataSet", [](const P& p) { return p.DataSet; }, [](P& p, TSampleData* v) { p.DataSet = v; });
        r.ObjectProp<TSamplePanel>(
             u"ReadOnlyParent", [](const P& p) { return p.FParentPanel; }, nullptr)
            .Stored(false);
    }

protected:
    void DefineProperties(TFiler* filer) override {
        inherited::DefineProperties(filer);
        filer->DefineProperty(
            u"ExtraColumns",
            [this](TReader& reader) {
                FExtra.Clear();
                reader.ReadValue();
                reader.ReadCollection(&FExtra);
            },
            [this](TWriter& writer) { writer.WriteCollection(&FExtra); }, HasExtraData(filer->Ancestor()));
        filer->DefineProperty(
            u"OrderFields", [this](TReader& reader) { OrderTextRead = reader.ReadString(); },
            [this](TWriter& writer) { writer.WriteString(OrderText); }, !OrderText.empty());
        filer->DefineBinaryProperty(
            u"Blob",
            [this](TStream& s) {
                Blob.resize(static_cast<size_t>(s.GetSize()));
                if (!Blob.empty()) s.ReadBuffer(Blob.data(), static_cast<Integer>(Blob.size()));
            },
            [this](TStream& s) { s.WriteBuffer(Blob.data(), static_cast<Integer>(Blob.size())); },
            !Blob.empty());
    }
    // Written when not empty, or, with an ancestor, when it differs from the ancestor's.
    bool HasExtraData(TPersistent* ancestor) const {
        if (auto* other = dynamic_cast<TSamplePanel*>(ancestor))
            return !CollectionsEqual(&FExtra, &other->FExtra);
        return FExtra.Count() > 0;
    }
    void Loaded() override {
        inherited::Loaded();
        ++LoadedCalls;
        SourceSeenInLoaded = FSource != nullptr;
    }

private:
    TStringList FItems;
    TOwnedCollection FColumns;
    TOwnedCollection FExtra;
    TSampleFont FFont;
    TComponent* FSource = nullptr;
    TSamplePanel* FParentPanel = nullptr;
    std::vector<TSamplePanel*> FChildren;
};

// A form-like root: owns every component read into it and writes those without a parent.
class TSampleForm : public TComponent {
    MV_CLASS(TSampleForm, TComponent);
    using TComponent::TComponent;
    String Title;
    int LoadedCalls = 0;
    void GetChildren(const TGetChildProc& proc, TComponent* root) override {
        if (root != this) return;
        for (Integer i = 0; i < ComponentCount(); ++i)
            if (!Components(i)->GetParentComponent()) proc(Components(i));
    }
    static void RegisterProperties(TPropertyRegistrar<TSampleForm>& r) {
        r.StringProp(
            u"Title", [](const TSampleForm& f) { return f.Title; },
            [](TSampleForm& f, const String& v) { f.Title = v; });
    }

protected:
    void Loaded() override {
        inherited::Loaded();
        ++LoadedCalls;
    }
};

inline void RegisterSampleClasses() {
    RegisterSampleColors();
    RegisterClasses({ClassOf<TSampleForm>(), ClassOf<TSamplePanel>(), ClassOf<TSampleData>()});
}

} // namespace mv::samples
