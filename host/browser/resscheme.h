#pragma once
// The res:// scheme in the embedded browser: serves the resources compiled into a module
// (res://Quib.bpl/About). RegisterResScheme must run before the application object exists.
class QWebEngineProfile;

namespace quib {

void RegisterResScheme();
void InstallResScheme(QWebEngineProfile& profile);

}  // namespace quib
