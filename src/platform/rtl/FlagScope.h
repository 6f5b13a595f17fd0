// A flag set for the life of a scope and cleared when the scope ends, also when an
// exception leaves it early: the re-entrancy and "in progress" flags of the layers above,
// which must never stay set after a user event raised.
#pragma once

namespace mv {

class TFlagScope {
public:
    explicit TFlagScope(bool& flag) : FFlag(flag) { FFlag = true; }
    ~TFlagScope() { FFlag = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& FFlag;
};

} // namespace mv
