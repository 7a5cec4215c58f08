#include "mainwindow/message_box.h"

#include "mainwindow/main_form.h"
#include "toolkit/message_text.h"

HWND MessageBoxOwner()
{
    return TheMainForm ? TheMainForm->Window.Handle() : nullptr;
}

int ShowMessage(const std::string& text, const char* caption, UINT flags)
{
    return MessageBoxA(MessageBoxOwner(), FitMessageText(text).c_str(), caption, flags);
}
