// The options command: the settings edited in the options dialog.
#include "monitor/main.h"

#include "dialogs/option.h"
#include "monitor/MonitorSettings.h"
#include "platform/Application.h"
#include "platform/Cp932.h"
#include "platform/Edit.h"
#include "platform/IntegerConversion.h"
#include "platform/TextToInt.h"

#include <QCheckBox>

namespace {

QString DecimalText(int32_t value) { return platform::FromCp932(platform::IntToStr(value)); }

} // namespace

void TMainForm::OptionBtnClick(QObject *)
{
    TOptionDlg OptionDlg;
    OptionDlg.ATimeEdt->setEnabled(MonitorSettings.AutoExec);
    OptionDlg.CountEdt->setText(DecimalText(MonitorSettings.pingCount));
    OptionDlg.WaitEdt->setText(DecimalText(MonitorSettings.pingWait));
    OptionDlg.TOutEdt->setText(DecimalText(MonitorSettings.pingTimeOut));
    OptionDlg.PSizeEdt->setText(DecimalText(MonitorSettings.pingSize));
    OptionDlg.TTLEdt->setText(DecimalText(MonitorSettings.pingTTL));
    OptionDlg.ATimeEdt->setText(DecimalText(MonitorSettings.AutoTime));
    OptionDlg.AutoCBx->setChecked(MonitorSettings.AutoExec);
    OptionDlg.ExeCBx->setChecked(MonitorSettings.Exec);

    if (platform::Application::ShowModal(OptionDlg) != TOptionDlg::mrOk)
        return;
    // Each value is stored as soon as it converts: a text that is no integer
    // stops here with the fields before it taken.
    MonitorSettings.pingCount = platform::TextToInt(OptionDlg.CountEdt->text());
    MonitorSettings.pingWait = platform::TextToInt(OptionDlg.WaitEdt->text());
    MonitorSettings.pingTimeOut = platform::TextToInt(OptionDlg.TOutEdt->text());
    MonitorSettings.pingSize = platform::TextToInt(OptionDlg.PSizeEdt->text());
    MonitorSettings.pingTTL = platform::TextToInt(OptionDlg.TTLEdt->text());
    MonitorSettings.AutoTime = platform::TextToInt(OptionDlg.ATimeEdt->text());
    MonitorSettings.AutoExec = OptionDlg.AutoCBx->isChecked();
    MonitorSettings.Exec = OptionDlg.ExeCBx->isChecked();
    // As at start-up: a long interval cannot overflow, and 0 or less
    // switches timed sweeps off.
    ProgramTimer();
}
