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
#include <memory>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
namespace corvane::gui {
class WindowFrame;
}
class TfrmDXFView;
namespace corvane::gui {
class LongRun;
}

class TfrmToolPaths : public QDialog {
public:
    explicit TfrmToolPaths(corvane::gui::WindowFrame& frame);
    ~TfrmToolPaths() override;

    // --- controls, for tests ---
    QLineEdit* widthEdit() const { return widthEdit_; }       // Width (raster grid)
    QLineEdit* depthEdit() const { return depthEdit_; }       // Depth (raster grid)
    QLineEdit* opDepthEdit() const { return opDepthEdit_; }   // Op Depth
    QLineEdit* zStepEdit() const { return zStepEdit_; }       // Z Step
    QLineEdit* cutDepthEdit() const { return cutDepthEdit_; } // Cut Depth
    QLineEdit* feedrateEdit() const { return feedrateEdit_; } // Feedrate
    QLineEdit* rapidEdit() const { return rapidEdit_; }       // Rapid
    QGroupBox* styleGroup() const
    {
        return styleGroup_;
    } // Style: Single Depth, Topography, Vectorize
    QGroupBox* regionDepthsGroup() const
    {
        return regionDepthsGroup_;
    } // Region Depths: One Depth, Multiple Depths
    QCheckBox* reduceCheck() const { return reduceCheck_; }
    QLineEdit* reduceEdit() const { return reduceEdit_; }
    QCheckBox* curveFitCheck() const { return curveFitCheck_; }
    QLineEdit* curveFitEdit() const { return curveFitEdit_; }
    QCheckBox* filterCheck() const { return filterCheck_; }
    QLineEdit* filterEdit() const { return filterEdit_; }
    QPushButton* createButton() const { return createButton_; }
    QPushButton* undoButton() const { return undoButton_; }
    QPushButton* clearButton() const { return clearButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }

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
    QLineEdit* widthEdit_ = nullptr;
    QLineEdit* depthEdit_ = nullptr;
    QLineEdit* opDepthEdit_ = nullptr;
    QLineEdit* zStepEdit_ = nullptr;
    QLineEdit* cutDepthEdit_ = nullptr;
    QLineEdit* feedrateEdit_ = nullptr;
    QLineEdit* rapidEdit_ = nullptr;
    QGroupBox* styleGroup_ = nullptr;
    QGroupBox* regionDepthsGroup_ = nullptr;
    QCheckBox* reduceCheck_ = nullptr;
    QLineEdit* reduceEdit_ = nullptr;
    QCheckBox* curveFitCheck_ = nullptr;
    QLineEdit* curveFitEdit_ = nullptr;
    QCheckBox* filterCheck_ = nullptr;
    QLineEdit* filterEdit_ = nullptr;
    QPushButton* createButton_ = nullptr;
    QPushButton* undoButton_ = nullptr;
    QPushButton* clearButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;

    void buildControls();
    void FormShow(const TfrmDXFView& view);
    void placeInsideFrame();
    void refuse(const QString& text);

    corvane::gui::WindowFrame& frame_;
    QButtonGroup* styleButtons_ = nullptr;
    QButtonGroup* depthButtons_ = nullptr;
    // Create, with this dialog the one window that takes input meanwhile.
    std::unique_ptr<corvane::gui::LongRun> run_;
    QPointer<TfrmDXFView> target_;
    QMetaObject::Connection targetTitle_;
};
