#include "mainwindow/read_coder_value.h"

#include "mainwindow/main_form.h"

CoderValue ReadCoderValue()
{
    return ParseCoderValue(TheMainForm ? TheMainForm->CoderValueEdit.Text() : std::string());
}
