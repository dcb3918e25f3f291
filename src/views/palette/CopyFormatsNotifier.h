#pragma once

#include <QObject>

// Tells every open palette view that the user's copy templates changed, so each picker shows
// the new list at once.
class CopyFormatsNotifier : public QObject {
    Q_OBJECT
public:
    static CopyFormatsNotifier *instance();

signals:
    void formatsChanged();
};
