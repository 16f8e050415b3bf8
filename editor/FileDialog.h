#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// A modal file dialog as the commands use it: a filter of "description|pattern"
// pairs, a preset file name, and Execute() that returns whether the user
// accepted, leaving the accepted full path in FileName.
class TFileDialog {
  public:
    virtual ~TFileDialog() = default;
    virtual bool Execute() = 0;

    QString Filter;
    QString FileName;
};

// Turns "description|pattern|description|pattern" into Qt name filters.
QStringList QtNameFilters(const QString& filter);

// The real dialog, built on QFileDialog only when it is first shown. It adds
// and checks nothing: no overwrite question, no default suffix, and the open
// dialog accepts a name that does not exist.
class TQtFileDialog : public TFileDialog {
  public:
    enum class Mode { Open, Save };
    TQtFileDialog(QWidget* owner, Mode mode) : owner_(owner), mode_(mode) {}
    bool Execute() override;

  private:
    QWidget* owner_;
    Mode mode_;
};
