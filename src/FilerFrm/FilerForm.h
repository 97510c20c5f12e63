#pragma once

#include "catalogue/PairList.h"
#include "catalogue/Scan.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QRadioButton;
class QShowEvent;

namespace duoptic {

class DialogButton;
class DriveMemory;
class FolderListBox;
class IntervalSpinBox;
class NameListBox;

// The pair browser. It edits the viewer mode, fitting mode and slide interval as values: they go
// in before it is shown and are read out after it closes with Open. The folder it shows is the
// process's current directory, and every folder it shows rebuilds the shared pair list.
class TFilerForm : public QDialog {
    Q_OBJECT

public:
    // `pairs` and `drives` outlive the dialog. driveRoots are what the drive selector offers,
    // "/" first (readDriveRoots). showTips runs when "Tips" is pressed.
    TFilerForm(PairList& pairs, DriveMemory& drives, std::vector<std::string> driveRoots,
               std::function<void()> showTips, QWidget* parent = nullptr);
    ~TFilerForm() override;

    void setViewerCrossing(bool crossing);
    bool viewerCrossing() const;
    void setFormSize(bool formSize);
    bool formSize() const;
    void setSlideInterval(int seconds); // shown clamped into 1..30
    int slideInterval() const;

    // Shows `folder` unless it is the folder shown already. Throws Error, changing nothing, when
    // it cannot be made the current directory.
    void setFolder(const std::string& folder);
    // The folder shown, as the platform reports it: no trailing "/" but for the root.
    const std::string& folder() const { return folder_; }

    // Replaces the pair list, the preview paths and the name list with the pairs of the folder
    // shown. The preview keeps its picture.
    void buildFilerList();

    int selectedRow() const; // -1 when no row is selected
    const std::string& rowName(int row) const { return listing_.rows.at(row); } // bytes

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildFolderControls();
    void buildNameListAndPreview();
    void buildOptionGroups();
    void buildButtons();
    void setTabOrderAndFocus();

    void changeFolder(const std::string& target);
    void fillFolderTree();
    void showDriveOfFolder();

    void DriveComboBox1Change(int index);
    void DirListBox1DblClick(const QByteArray& path);
    void ListBox1Click();

    PairList& pairs_;
    DriveMemory& drives_;
    std::function<void()> showTips_;
    std::vector<std::string> driveRoots_;
    std::string folder_;
    // The file list of the folder lies hidden beneath the tree and nobody could see it, so it is
    // kept as data, not as a widget that could take the focus: buildFilerList reads the names
    // of the ".jpg", ".mpo" and ".jps" files sorted ignoring case and keeps the rows and preview
    // paths it accepted.
    FilerListing listing_;

    QComboBox* DriveComboBox1 = nullptr;
    FolderListBox* DirListBox1 = nullptr;
    NameListBox* ListBox1 = nullptr;
    QLabel* Image1 = nullptr;
    QRadioButton* rbParallel = nullptr;
    QRadioButton* rbCrossing = nullptr;
    QRadioButton* rbImageWidth = nullptr;
    QRadioButton* rbFormSize = nullptr;
    IntervalSpinBox* seInterval = nullptr;
    DialogButton* bnTips = nullptr;
    DialogButton* bnCancel = nullptr;
    DialogButton* bnOpen = nullptr;
};

} // namespace duoptic
