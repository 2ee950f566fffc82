// TfrmToolPaths: the "Create Regions" dialog that builds region toolpaths over a mesh view.
// One instance lives for the whole run, modeless and on top; it does not remember the view
// it serves: the shared TargetChildIndex names it, set by whoever showed the dialog (the
// mesh view's Create > Toolpaths, a picture's Raster to Vector). Every button first checks
// that the child window there is still a mesh view, and does nothing otherwise.
#pragma once

#include "toolpaths/toolpaths_fields.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class TCorvaneFrame;
class TfrmDXFView;

class TfrmToolPaths : public QDialog {
public:
    explicit TfrmToolPaths(TCorvaneFrame& frame);

    // --- named controls ---
    QLineEdit* widthEdit = nullptr;    // Width (raster grid)
    QLineEdit* depthEdit = nullptr;    // Depth (raster grid)
    QLineEdit* opDepthEdit = nullptr;  // Op Depth
    QLineEdit* zStepEdit = nullptr;    // Z Step
    QLineEdit* cutDepthEdit = nullptr; // Cut Depth
    QLineEdit* feedrateEdit = nullptr; // Feedrate
    QLineEdit* rapidEdit = nullptr;    // Rapid
    QGroupBox* styleGroup = nullptr;   // Style: Single Depth, Topography, Vectorize
    QGroupBox* TopGroup = nullptr;     // Region Depths: One Depth, Multiple Depths
    QCheckBox* reduceCheck = nullptr;
    QLineEdit* reduceEdit = nullptr;
    QCheckBox* curveFitCheck = nullptr;
    QLineEdit* curveFitEdit = nullptr;
    QCheckBox* filterCheck = nullptr;
    QLineEdit* filterEdit = nullptr;
    QPushButton* createButton = nullptr;
    QPushButton* undoButton = nullptr;
    QPushButton* btnClear = nullptr;
    QPushButton* cancelButton = nullptr;

    // The selected item of Style and of Region Depths; setting one acts as a click on it.
    int StyleIndex() const;
    int RegionDepthsIndex() const;
    void SetStyleIndex(int item);
    void SetRegionDepthsIndex(int item);
    // The fields as typed.
    corvane::toolpaths::ToolpathsFields Fields() const;
    // The mesh view at TargetChildIndex, or null.
    TfrmDXFView* TargetView() const;

    // --- handlers ---
    void RadioGroup1Click();
    void TopGroupClick();
    void CheckBox1Click();
    void CheckBox2Click();
    void CheckBox3Click();
    void Button1Click(); // Create
    void Button3Click(); // Undo
    void btnClearClick();
    void Button2Click(); // Cancel

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void FormShow();
    void placeInsideFrame();
    void refuse(const QString& text);

    TCorvaneFrame& frame_;
    QButtonGroup* styleButtons_ = nullptr;
    QButtonGroup* depthButtons_ = nullptr;
    bool running_ = false;
};
