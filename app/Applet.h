// Applet: base of the content object the shell hosts; reaches the shell through its proxy.
#pragma once

#include "AppProxy.h"

class Applet : public AppServerProxy {
public:
    // The server; not owned
    App* shell;

    explicit Applet(App* _shell) : shell(_shell) {}
    virtual ~Applet() {}

protected:
    App* GetAppProxyServer() const override { return shell; }
};
