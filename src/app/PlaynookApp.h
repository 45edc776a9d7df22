#pragma once
// The application object and its start-up sequence.
#include "winkit/application.h"

class CPlaynookAppApp : public winkit::Application {
public:
    BOOL InitInstance() override;

protected:
    const CommandEntry* GetCommandMap() const override;
};

extern CPlaynookAppApp theApp;
