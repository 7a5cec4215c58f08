#pragma once
// Which event of which control runs which operation, in one place.
#include "mainwindow/main_form.h"

// The task list's pop-up menu (its twelve entries with their shortcuts and commands), the
// window's own events (message hook, closing, dropped files) and the controls' events.
MainFormWiring EventWiring();
