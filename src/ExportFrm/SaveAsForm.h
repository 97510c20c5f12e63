#pragma once

#include "ExportFrm/ExportChoices.h"

#include <QDialog>

#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QShowEvent;
class QSpinBox;

namespace duoptic {

// What the dialog hands back when it closes with OK.
struct SaveAsAnswer {
    ExportChoices choices;
    std::string name;      // bytes; empty when the dialog asked for no name
    bool asStored = false; // the eyes as the files hold them: no shift
};

// The format, folder, name and quality a pair is written with. Asked once for the pair on screen
// (Save As, with the name), once for the whole list (Export Folder, without one). OK is taken only
// with a folder that exists and, where there is one, a name that could be a file's.
class SaveAsForm : public QDialog {
    Q_OBJECT

public:
    // `name`: the name the pair's files are given at first; nothing asks for no name.
    SaveAsForm(const QString& title, const ExportChoices& last, std::optional<std::string> name,
               QWidget* parent = nullptr);

    SaveAsAnswer answer() const;

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void browse();
    // Why OK cannot be taken as the form stands; empty when it can.
    QString refusal() const;

    QComboBox* cbFormat = nullptr;
    QLineEdit* edFolder = nullptr;
    QLineEdit* edName = nullptr; // null without a name to ask
    QSpinBox* seQuality = nullptr;
    QCheckBox* cbAsStored = nullptr;
};

// Runs the form modally over `parent`: its answer on OK, nothing on Cancel.
std::optional<SaveAsAnswer> askExportChoices(QWidget* parent, const QString& title,
                                             const ExportChoices& last,
                                             std::optional<std::string> name);

} // namespace duoptic
