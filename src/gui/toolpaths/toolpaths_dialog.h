// TfrmToolPaths: the "Create Regions" dialog that builds region toolpaths over a mesh view.
// One instance lives for the whole run, modeless and on top. It serves the mesh view it was
// last shown for (the view's Create > Toolpaths, a picture's Raster to Vector), whichever
// window the user clicks meanwhile, and names that view in its title; when the view closes
// the dialog hides, and its buttons do nothing until it is shown for another view.
#pragma once

#include "toolpaths/toolpaths_fields.h"

#include <QDialog>
#include <QMetaObject>
#include <QPointer>

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
    // Shows the dialog for the view, with the defaults of a first showing (Undo off, Style
    // and Region Depths at their first items, Op Depth proposed from the view's mesh) unless
    // it shows for that view already. Only this sets the defaults: a show that the window
    // system repeats (the frame restored from its icon) keeps what the user typed.
    void ShowFor(TfrmDXFView& view);
    // The view is closing: the dialog hides if it serves that view.
    void ViewClosing(const TfrmDXFView& view);
    // The mesh view the dialog serves, or null once it has closed.
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
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void FormShow(const TfrmDXFView& view);
    void placeInsideFrame();
    void refuse(const QString& text);

    TCorvaneFrame& frame_;
    QButtonGroup* styleButtons_ = nullptr;
    QButtonGroup* depthButtons_ = nullptr;
    bool running_ = false;
    QPointer<TfrmDXFView> target_;
    QMetaObject::Connection targetTitle_;
};
