#include "queue/read_coder_value.h"

#include "mainwindow/main_form.h"
#include "mainwindow/message_box.h"

std::optional<CoderValue> ReadCoderValue()
{
    if (!TheMainForm)
        return std::nullopt;
    const std::string text = TheMainForm->CoderValueEdit.Text();
    const ParsedCoderValue parsed = ParseCoderValue(text);
    if (!parsed.fault)
        return parsed.value;
    const char* const reason = *parsed.fault == CoderValueFault::LeavesDataUnchanged
                                   ? "Coder value leaves files unchanged\r"
                                   : "Invalid coder value\r";
    ShowMessage(reason + text, "Error", MB_OK | MB_ICONERROR);
    // Back to the edit, its text selected, so the next keys replace it. The box let messages
    // run, so the window is looked up afresh.
    if (TheMainForm && TheMainForm->CoderValueEdit.IsVisible() && TheMainForm->CoderValueEdit.IsEnabled())
        TheMainForm->CoderValueEdit.Focus();
    return std::nullopt;
}
