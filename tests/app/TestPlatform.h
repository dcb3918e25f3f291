#pragma once

#include "platform/LinuxPlatform.h"

#include <QList>
#include <QStringList>

// The real Linux adapters, with the tray's presence and the file viewer under the test's
// control, and a record of every dock-icon policy applied.
class TestPlatform : public LinuxPlatform {
public:
    bool trayAvailable = true;
    int trayChecks = 0;
    QList<DockIconPolicy> applied;
    QStringList revealed;

    bool isSystemTrayAvailable() const override {
        ++const_cast<TestPlatform *>(this)->trayChecks;
        return trayAvailable;
    }
    void setDockIconPolicy(DockIconPolicy policy) override {
        applied.append(policy);
        LinuxPlatform::setDockIconPolicy(policy);
    }
    void revealInFileViewer(const QString &location) override { revealed.append(location); }
};
