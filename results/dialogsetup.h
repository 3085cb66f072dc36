#pragma once
// What every small dialog of the result commands does while it is built: a tool window in the
// host's skin, placed over the main form or in the middle of the screen.
class IApp;
class QDialog;
class QWidget;

// Tool-window frame and the host's skin; `app` may be null (plain frame).
void PrepareToolDialog(QDialog& dialog, IApp* app);
// Centres the dialog over `over`; on the screen when `over` is null or hidden.
void CenterOver(QDialog& dialog, const QWidget* over);
