// TInstalledDouble: a test double installed as one of the program's service seams while it
// lives (TInstalledDouble<TMessageService, &SetMessages>, <TDialogService, &SetDialogs>).
#pragma once

namespace quire::test {

// Install sets the service and returns the one before, which the destructor puts back.
template <class TService, TService* (*Install)(TService*)>
class TInstalledDouble : public TService {
public:
    TInstalledDouble() { FOld = Install(this); }
    ~TInstalledDouble() override { Install(FOld); }
    TInstalledDouble(const TInstalledDouble&) = delete;
    TInstalledDouble& operator=(const TInstalledDouble&) = delete;

private:
    TService* FOld = nullptr;
};

} // namespace quire::test
