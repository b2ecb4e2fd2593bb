#pragma once
// The child windows the menu opens, each a ChildWindow with the content that binds
// its window logic.

#include "app/application.h"
#include "ui/qt/child_window.h"

namespace trv810::ui {

/// Creates and shows the child window of `kind` inside `client`, the main window's
/// client area; null when it could not be created.
ChildWindow* createChildWindow(app::ChildKind kind, QWidget* client, app::Application& application);

}  // namespace trv810::ui
