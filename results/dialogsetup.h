#pragma once
class QDialog;
class QWidget;

namespace quib {
class IApp;
}

namespace quib::results {

// What every small dialog of the result commands does while it is built: a tool window in the
// host's skin, placed over the main form or in the middle of the screen.

// Tool-window frame and the host's skin; `app` may be null (plain frame).
void PrepareToolDialog(QDialog& dialog, IApp* app);
// Centres the dialog over `over`; on the screen when `over` is null or hidden.
void CenterOver(QDialog& dialog, const QWidget* over);

}  // namespace quib::results
