#include "ExportFrm/SaveAsForm.h"

#include "base/AccessibleNames.h"
#include "base/CentreOnScreen.h"
#include "base/DialogFont.h"
#include "base/Paths.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>

#include <utility>

namespace duoptic {

namespace {

// What a screen reader says for the form's controls.
constexpr AccessibleText kSaveAsAccessibleTexts[] = {
    {"cbFormat", "Format", "How the two pictures are written, and the files that makes"},
    {"edFolder", "Folder", "Where the files are written"},
    {"bnBrowse", "Choose folder", "Opens a folder chooser"},
    {"edName", "Name", "The name the files begin with"},
    {"seQuality", "Quality", "JPEG quality of the pictures written, 1 to 100"},
    {"cbAsStored", "As stored (no shift)", "Writes the pictures as the files hold them"},
    {"bnOK", "OK", "Writes the files"},
    {"bnCancel", "Cancel", "Writes nothing"},
};

QString fromBytes(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

std::string toBytes(const QString& text) {
    return QFile::encodeName(text).toStdString();
}

// "sbs — side by side, parallel (NAME_DUP.jpg)": the name to type on the command line, what it
// is, and the files it makes.
QString formatLabel(ExportFormat format) {
    QStringList files;
    for (const std::string& file : exportFileNames(format, "NAME")) {
        files.push_back(fromBytes(file));
    }
    const auto text = [](std::string_view bytes) {
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    };
    return text(exportFormatName(format)) + QString::fromUtf8(" \u2014 ") +
           text(exportFormatDescription(format)) + QStringLiteral(" (") +
           files.join(QStringLiteral(", ")) + QStringLiteral(")");
}

template <typename Widget> Widget* named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

SaveAsForm::SaveAsForm(const QString& title, const ExportChoices& last,
                       std::optional<std::string> name, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("SaveAsForm"));
    setWindowTitle(QStringLiteral("Duoptic - ") + title);
    setFont(dialogFont());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Button));
    setPalette(pal);

    auto* form = new QFormLayout;
    cbFormat = named(new QComboBox(this), "cbFormat");
    for (const ExportFormat format : exportFormats()) {
        cbFormat->addItem(formatLabel(format), static_cast<int>(format));
    }
    cbFormat->setCurrentIndex(cbFormat->findData(static_cast<int>(last.format)));
    form->addRow(QStringLiteral("&Format:"), cbFormat);

    edFolder = named(new QLineEdit(fromBytes(last.folder), this), "edFolder");
    auto* browseButton = named(new QPushButton(QStringLiteral("..."), this), "bnBrowse");
    browseButton->setAutoDefault(false);
    browseButton->setFixedWidth(
        browseButton->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 16);
    connect(browseButton, &QPushButton::clicked, this, &SaveAsForm::browse);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(edFolder, 1);
    folderRow->addWidget(browseButton);
    // A label's mnemonic needs a buddy, which a row of two widgets does not give it.
    auto* folderLabel = new QLabel(QStringLiteral("F&older:"), this);
    folderLabel->setBuddy(edFolder);
    form->addRow(folderLabel, folderRow);

    if (name) {
        edName = named(new QLineEdit(fromBytes(*name), this), "edName");
        form->addRow(QStringLiteral("&Name:"), edName);
    }

    seQuality = named(new QSpinBox(this), "seQuality");
    seQuality->setRange(1, 100);
    seQuality->setValue(last.quality);
    form->addRow(QStringLiteral("&Quality:"), seQuality);

    cbAsStored = named(new QCheckBox(QStringLiteral("&As stored (no shift)"), this), "cbAsStored");
    form->addRow(QString(), cbAsStored);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    named(buttons->button(QDialogButtonBox::Ok), "bnOK")->setDefault(true);
    named(buttons->button(QDialogButtonBox::Cancel), "bnCancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &SaveAsForm::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SaveAsForm::reject);

    auto* whole = new QVBoxLayout(this);
    whole->addLayout(form);
    whole->addWidget(buttons);
    whole->setSizeConstraint(QLayout::SetFixedSize);
    setAccessibleTexts(*this, kSaveAsAccessibleTexts);

    // The name is what is most often changed; typing replaces it.
    QLineEdit* first = edName != nullptr ? edName : edFolder;
    first->setFocus();
    first->selectAll();
}

SaveAsAnswer SaveAsForm::answer() const {
    SaveAsAnswer answer;
    answer.choices.format = static_cast<ExportFormat>(cbFormat->currentData().toInt());
    answer.choices.folder = toBytes(edFolder->text());
    answer.choices.quality = seQuality->value();
    answer.name = edName != nullptr ? toBytes(edName->text()) : std::string();
    answer.asStored = cbAsStored->isChecked();
    return answer;
}

QString SaveAsForm::refusal() const {
    const SaveAsAnswer chosen = answer();
    if (!isFolder(chosen.choices.folder)) {
        return QStringLiteral("Choose a folder that exists to write into.");
    }
    if (edName != nullptr && (chosen.name.empty() || chosen.name == "." || chosen.name == ".." ||
                              chosen.name.find('/') != std::string::npos)) {
        return QStringLiteral("Give the files a name without \"/\".");
    }
    return {};
}

void SaveAsForm::accept() {
    const QString why = refusal();
    if (!why.isEmpty()) {
        showMessage(this, QMessageBox::Warning, windowTitle(), why);
        return;
    }
    QDialog::accept();
}

void SaveAsForm::browse() {
    const QString chosen =
        QFileDialog::getExistingDirectory(this, QStringLiteral("Folder"), edFolder->text());
    if (!chosen.isEmpty()) {
        edFolder->setText(chosen);
    }
}

void SaveAsForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        centreOnScreen(*this);
    }
}

std::optional<SaveAsAnswer> askExportChoices(QWidget* parent, const QString& title,
                                             const ExportChoices& last,
                                             std::optional<std::string> name) {
    SaveAsForm form(title, last, std::move(name), parent);
    if (form.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return form.answer();
}

} // namespace duoptic
