#include "FilerFrm/FilerForm.h"

#include "FilerFrm/Drives.h"
#include "FilerFrm/FilerControls.h"
#include "FilerFrm/FolderTree.h"
#include "FilerFrm/Preview.h"
#include "base/AccessibleNames.h"
#include "base/CentreOnScreen.h"
#include "base/DialogFont.h"
#include "base/ErrorReport.h"
#include "base/Paths.h"

#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>

#include <algorithm>
#include <tuple>
#include <utility>

namespace duoptic {

namespace {

constexpr QSize kClientSize{372, 361};
constexpr int kFolderRowHeight = 16;
constexpr int kFolderIndent = 10; // per level of the folder tree
constexpr int kNameRowHeight = 12;

// What a screen reader says for the Filer's controls.
constexpr AccessibleText kFilerAccessibleTexts[] = {
    {"DriveComboBox1", "Drive", "The file system whose folders are shown"},
    {"DirListBox1", "Folders", "Enter or a double click opens the highlighted folder"},
    {"ListBox1", "Pairs", "The pairs of the folder; choosing one shows its preview"},
    {"Image1", "Preview", "A small picture of the chosen pair"},
    {"rbParallel", "Parallel", "Viewer mode: the left eye's picture on the left"},
    {"rbCrossing", "Crossing", "Viewer mode: the left eye's picture on the right"},
    {"rbImageWidth", "Image width", "Fitting mode: the picture fills the width of its area"},
    {"rbFormSize", "Form size", "Fitting mode: the picture covers its whole area"},
    {"seInterval", "Slide interval", "Seconds from one pair to the next in a slide show"},
    {"bnTips", "Tips", "How to view the pairs, and the version"},
    {"bnCancel", "Cancel", "Closes the Filer and changes nothing"},
    {"bnOpen", "Open", "Shows the chosen pair and keeps the modes and the interval"},
};

QString displayName(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

template <typename Widget, typename... Args>
Widget* place(QWidget* parent, const char* name, QRect geometry, Args&&... args) {
    auto* widget = new Widget(std::forward<Args>(args)..., parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(geometry);
    return widget;
}

// The group's items, one column, evenly down the space below its caption. They reach to the
// frame on the right: the stand-in face needs nearly the whole width for "Image width".
std::pair<QRadioButton*, QRadioButton*> addRadioPair(QGroupBox* group, const char* firstName,
                                                     const QString& first, const char* secondName,
                                                     const QString& second) {
    auto* a = place<OptionButton>(group, firstName, {5, 17, 91, 18}, first);
    auto* b = place<OptionButton>(group, secondName, {5, 39, 91, 18}, second);
    return {a, b};
}

} // namespace

TFilerForm::TFilerForm(PairList& pairs, DriveMemory& drives, std::vector<std::string> driveRoots,
                       std::function<void()> showTips, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      pairs_(pairs), drives_(drives), showTips_(std::move(showTips)),
      driveRoots_(std::move(driveRoots)), folder_(currentDirectory()) {
    setObjectName(QStringLiteral("FilerForm"));
    setWindowTitle(QStringLiteral("Duoptic - Filer"));
    setFixedSize(kClientSize);
    setFont(dialogFont());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Button));
    setPalette(pal);

    buildFolderControls();
    buildNameListAndPreview();
    buildOptionGroups();
    buildButtons();
    setTabOrderAndFocus();
    setAccessibleTexts(*this, kFilerAccessibleTexts);

    // The lists open on the process's current directory; the caller then moves them.
    fillFolderTree();
    if (!folder_.empty()) {
        drives_.remember(driveOf(folder_, driveRoots_), folder_);
    }
    showDriveOfFolder();
}

TFilerForm::~TFilerForm() = default;

void TFilerForm::buildFolderControls() {
    DriveComboBox1 = place<QComboBox>(this, "DriveComboBox1", {4, 4, 165, 18});
    for (const std::string& root : driveRoots_) {
        DriveComboBox1->addItem(displayName(root), QByteArray::fromStdString(root));
    }
    connect(DriveComboBox1, &QComboBox::activated, this,
            [this](int index) { guarded([&] { DriveComboBox1Change(index); }); });

    DirListBox1 = place<FolderListBox>(this, "DirListBox1", {4, 24, 165, 157});
    DirListBox1->setItemDelegate(
        new FixedRowDelegate(kFolderRowHeight, kFolderIndent, DirListBox1));
    DirListBox1->setIconSize({14, 14});
    connect(DirListBox1, &FolderListBox::folderChosen, this,
            [this](const QByteArray& path) { guarded([&] { DirListBox1DblClick(path); }); });
}

void TFilerForm::buildNameListAndPreview() {
    ListBox1 = place<NameListBox>(this, "ListBox1", {172, 4, 197, 213});
    ListBox1->setItemDelegate(new FixedRowDelegate(kNameRowHeight, 0, ListBox1));
    connect(ListBox1, &NameListBox::rowChosen, this, [this] { guarded([&] { ListBox1Click(); }); });

    auto* panel = place<QFrame>(this, "Panel1", {0, 188, 169, 169});
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(1);
    Image1 = place<QLabel>(panel, "Image1", {1, 1, kPreviewSize.width(), kPreviewSize.height()});
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void TFilerForm::buildOptionGroups() {
    auto* viewer =
        place<QGroupBox>(this, "rgVmode", {172, 224, 97, 65}, QStringLiteral("Viewer mode"));
    std::tie(rbParallel, rbCrossing) = addRadioPair(
        viewer, "rbParallel", QStringLiteral("Parallel"), "rbCrossing", QStringLiteral("Crossing"));
    rbParallel->setChecked(true);

    auto* fitting =
        place<QGroupBox>(this, "rgFMode", {272, 224, 97, 65}, QStringLiteral("Fitting mode"));
    std::tie(rbImageWidth, rbFormSize) =
        addRadioPair(fitting, "rbImageWidth", QStringLiteral("Image width"), "rbFormSize",
                     QStringLiteral("Form size"));
    rbImageWidth->setChecked(true);

    auto* interval =
        place<QGroupBox>(this, "GroupBox1", {172, 292, 97, 65}, QStringLiteral("Slide Interval"));
    seInterval = place<IntervalSpinBox>(interval, "seInterval", {8, 16, 53, 21});
    auto* unit = place<QLabel>(interval, "Label1", {68, 20, 18, 12}, QStringLiteral("sec"));
    // The stand-in face runs wider than the one the size was chosen for; never cut the unit off.
    unit->resize(unit->size().expandedTo(unit->sizeHint()));
}

void TFilerForm::buildButtons() {
    bnTips = place<DialogButton>(this, "bnTips", {276, 300, 45, 25}, QStringLiteral("Tips"));
    bnCancel = place<DialogButton>(this, "bnCancel", {276, 332, 45, 25}, QStringLiteral("Cancel"));
    bnOpen = place<DialogButton>(this, "bnOpen", {324, 300, 45, 57}, QStringLiteral("Open"));
    connect(bnTips, &QPushButton::clicked, this, [this] {
        guarded([&] {
            if (showTips_) {
                showTips_();
            }
        });
    });
    connect(bnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(bnOpen, &QPushButton::clicked, this, &QDialog::accept);
}

void TFilerForm::setTabOrderAndFocus() {
    const std::initializer_list<QWidget*> order = {
        ListBox1, rbParallel, rbCrossing, rbImageWidth,   rbFormSize,  seInterval,
        bnTips,   bnCancel,   bnOpen,     DriveComboBox1, DirListBox1,
    };
    for (auto it = order.begin(); std::next(it) != order.end(); ++it) {
        setTabOrder(*it, *std::next(it));
    }
    ListBox1->setFocus();
}

void TFilerForm::setViewerCrossing(bool crossing) {
    (crossing ? rbCrossing : rbParallel)->setChecked(true);
}

bool TFilerForm::viewerCrossing() const {
    return rbCrossing->isChecked();
}

void TFilerForm::setFormSize(bool formSize) {
    (formSize ? rbFormSize : rbImageWidth)->setChecked(true);
}

bool TFilerForm::formSize() const {
    return !rbImageWidth->isChecked();
}

void TFilerForm::setSlideInterval(int seconds) {
    seInterval->setValue(std::clamp(seconds, IntervalSpinBox::kMin, IntervalSpinBox::kMax));
}

int TFilerForm::slideInterval() const {
    return seInterval->value();
}

void TFilerForm::setFolder(const std::string& folder) {
    if (withoutTrailingSeparator(folder) != folder_) {
        changeFolder(folder);
    }
}

void TFilerForm::changeFolder(const std::string& target) {
    // The directory moves first: when the platform refuses, nothing else has changed yet.
    changeCurrentDirectory(target);
    const std::string reported = currentDirectory();
    folder_ = reported.empty() ? withoutTrailingSeparator(target) : reported;
    fillFolderTree();
    drives_.remember(driveOf(folder_, driveRoots_), folder_);
    showDriveOfFolder();
    buildFilerList();
}

void TFilerForm::fillFolderTree() {
    DirListBox1->clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirIcon);
    int currentRow = 0;
    for (const FolderRow& row : folderTreeRows(folder_.empty() ? "/" : folder_)) {
        auto* item = new QListWidgetItem(row.onPath ? open : closed, displayName(row.label));
        item->setData(FolderListBox::kPathRole, QByteArray::fromStdString(row.path));
        item->setData(FixedRowDelegate::kLevelRole, row.level);
        DirListBox1->addItem(item);
        if (row.onPath) {
            currentRow = DirListBox1->count() - 1;
        }
    }
    DirListBox1->setCurrentRow(currentRow);
}

void TFilerForm::showDriveOfFolder() {
    const int index = DriveComboBox1->findData(
        QByteArray::fromStdString(driveOf(folder_.empty() ? "/" : folder_, driveRoots_)));
    if (index >= 0) {
        DriveComboBox1->setCurrentIndex(index);
    }
}

void TFilerForm::buildFilerList() {
    ListBox1->clear();
    listing_ = duoptic::buildFilerList(folder_, pairs_);
    for (const std::string& row : listing_.rows) {
        ListBox1->addItem(displayName(row));
    }
}

int TFilerForm::selectedRow() const {
    const QList<QListWidgetItem*> selected = ListBox1->selectedItems();
    return selected.isEmpty() ? -1 : ListBox1->row(selected.front());
}

void TFilerForm::DriveComboBox1Change(int index) {
    const std::string root = DriveComboBox1->itemData(index).toByteArray().toStdString();
    if (root == driveOf(folder_, driveRoots_)) {
        return;
    }
    const std::optional<std::string> last = drives_.lastFolderOn(root);
    try {
        changeFolder(last.value_or(root));
    } catch (...) {
        // A remembered folder that has gone away must not bar the drive for good.
        drives_.forget(root);
        throw;
    }
}

void TFilerForm::DirListBox1DblClick(const QByteArray& path) {
    const std::string target = path.toStdString();
    if (target != folder_) {
        changeFolder(target);
    }
}

void TFilerForm::ListBox1Click() {
    const int row = selectedRow();
    if (row < 0) {
        Image1->clear();
        return;
    }
    // Decoded in full before anything is shown: a failure leaves the old picture in place.
    const QImage picture = previewImage(listing_.previewPaths.at(row));
    Image1->setPixmap(QPixmap::fromImage(picture));
}

void TFilerForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        centreOnScreen(*this);
    }
}

} // namespace duoptic
