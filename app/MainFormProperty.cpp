// TMainForm: the settings dialog, opened on the window's settings, colour and style tables.
#include "Unit1.h"

#include "Dialogs.h"
#include "PropertyHost.h"
#include "Settings.h"
#include "Unit7.h"

namespace quire {

namespace {

// The main window as the settings dialog sees it.
class TMainFormHost : public TPropertyHost {
public:
    explicit TMainFormHost(TMainForm& Form) : FForm(Form) {}
    TEditor& ActiveEditor() override { return *FForm.CurrentEditor(); }
    TSettings CurrentSettings() override { return FForm.CurrentSettings(); }
    void ApplySettings(const TSettings& Settings) override { FForm.ApplySettings(Settings); }
    TColorTable& ColorTable() override { return FForm.ColorTable(); }
    TStyleTable& StyleTable() override { return FForm.StyleTable(); }
    void ApplyColorsToAll() override { FForm.ApplyColorsToAll(); }
    void ApplyStylesToAll() override { FForm.ApplyStylesToAll(); }
    bool SetUserKeyWords(const std::vector<std::string>& Words) override { return FForm.SetUserKeyWords(Words); }

private:
    TMainForm& FForm;
};

} // namespace

void TMainForm::Mm_PropertyClick() {
    TMainFormHost host(*this);
    TPropertyForm form(this, host);
    PlaceDialog(form);
    Dialogs().Exec(form);
}

} // namespace quire
