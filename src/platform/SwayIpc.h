#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QRect>
#include <QString>
#include <optional>

// The IPC socket of sway (and other compositors that speak i3's protocol): the only way a
// Wayland client there can learn where the panel leaves room and put a floating window at a
// place of its choosing. Every call is a short blocking exchange on a local socket with a
// deadline, so a compositor that does not answer costs at most that long.
class SwayIpc {
public:
    // The socket named by SWAYSOCK (or I3SOCK); empty outside such a compositor.
    SwayIpc();
    explicit SwayIpc(QString socketPath);

    bool isAvailable() const { return !m_path.isEmpty(); }

    // Runs a command list; true when the compositor ran every command.
    bool runCommand(const QString &command) const;

    // The output under the focused workspace, and the part of it that windows may use (what
    // panels leave free).
    struct Area {
        QRect output;
        QRect usable;
    };
    std::optional<Area> focusedArea() const;

    // Message types of the protocol.
    enum Type : quint32 { RunCommand = 0, GetWorkspaces = 1, GetOutputs = 3 };
    // One request and its reply's payload; empty on any failure.
    QByteArray request(Type type, const QByteArray &payload) const;

    // Quotes a text for use inside a command's criteria.
    static QString quoted(const QString &text);

private:
    QString m_path;
};
