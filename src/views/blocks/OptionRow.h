#pragma once

#include <QString>
#include <QWidget>

// One row of an options panel: a label of fixed width at the leading edge, then the control.
// A control of fixed width sits at the leading edge; any other takes the rest of the row. An
// extra control (the radius slider beside its field) takes the room left after the first.
class OptionRow : public QWidget {
    Q_OBJECT
public:
    OptionRow(const QString &label, int labelWidth, QWidget *control, QWidget *extra = nullptr,
              QWidget *parent = nullptr);
};
