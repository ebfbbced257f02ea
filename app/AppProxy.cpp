#include "AppProxy.h"

fRect AppServerProxy::GetBounds() const { return GetAppProxyServer()->GetBounds(); }
AppMenu* AppServerProxy::GetMenu() { return GetAppProxyServer()->GetMenu(); }
fPoint2 AppServerProxy::GetMouseLoc() const { return GetAppProxyServer()->GetMouseLoc(); }
bool AppServerProxy::GetIsMouseDown() const { return GetAppProxyServer()->GetIsMouseDown(); }
fPoint2 AppServerProxy::GetMouseDownLoc() const { return GetAppProxyServer()->GetMouseDownLoc(); }
bool AppServerProxy::GetWasDoubleClick() const { return GetAppProxyServer()->GetWasDoubleClick(); }
bool AppServerProxy::GetWasClickInPlace() const {
    return GetAppProxyServer()->GetWasClickInPlace();
}
bool AppServerProxy::GetCouldBeDrag() const { return GetAppProxyServer()->GetCouldBeDrag(); }
bool AppServerProxy::GetWasShiftKeyDown() const {
    return GetAppProxyServer()->GetWasShiftKeyDown();
}
bool AppServerProxy::GetWasControlKeyDown() const {
    return GetAppProxyServer()->GetWasControlKeyDown();
}
bool AppServerProxy::GetWasOptionKeyDown() const {
    return GetAppProxyServer()->GetWasOptionKeyDown();
}
void AppServerProxy::SetMouseCursor(AppCursor c) { GetAppProxyServer()->SetMouseCursor(c); }
void AppServerProxy::Beep() { GetAppProxyServer()->Beep(); }
void AppServerProxy::SetQuit(bool v) { GetAppProxyServer()->SetQuit(v); }
void AppServerProxy::SetWindowTitle(const char* s) { GetAppProxyServer()->SetWindowTitle(s); }
bool AppServerProxy::ShowMenuAt(fPoint2 p) { return GetAppProxyServer()->ShowMenuAt(p); }
bool AppServerProxy::GetIsMenuOpen() const { return GetAppProxyServer()->GetIsMenuOpen(); }
void AppServerProxy::PleaseRender() { GetAppProxyServer()->PleaseRender(); }
bool AppServerProxy::RequestNewBoundsSize(float w, float h) {
    return GetAppProxyServer()->RequestNewBoundsSize(w, h);
}
