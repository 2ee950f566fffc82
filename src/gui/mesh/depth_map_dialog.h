// TfrmDepthMap: the mesh view's Create > Depth Map dialog. It asks how fine the top view is
// sampled, either as a pixel size in the mesh's units or as a width in pixels, and whether
// white stands for the lowest surface ("Invert"). The defaults and the checks are the depth
// map's own (mesh/depth_map.h): the dialog proposes the pixel size that makes the longer
// side 1000 pixels, shows the picture's size as the user types, and refuses, naming the
// reason, what the depth map would refuse.
#pragma once

#include "geometry/extents3d.h"
#include "mesh/depth_map.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class TfrmDepthMap : public QDialog {
public:
    // Over a mesh with these extents (x and y as in the file); `render` runs on OK with the
    // options chosen, after the dialog has closed.
    using Render = std::function<void(const corvane::mesh::DepthMapOptions& options)>;
    TfrmDepthMap(QWidget& parent, const corvane::Extents3D& extents, Render render);

    // The options as the fields stand; throws corvane::Error naming the field or the reason.
    corvane::mesh::DepthMapOptions Options() const;

    // --- controls, for tests ---
    QRadioButton* pixelChoice() const { return pixelChoice_; }
    QRadioButton* widthChoice() const { return widthChoice_; }
    QLineEdit* pixelEdit() const { return pixelEdit_; }
    QLineEdit* widthEdit() const { return widthEdit_; }
    QCheckBox* invertCheck() const { return invertCheck_; }
    QLabel* sizeLabel() const { return sizeLabel_; }
    QPushButton* okButton() const { return okButton_; }

    void OKClick();

private:
    void showSize();
    corvane::mesh::DepthMapLayout layoutFor(const corvane::mesh::DepthMapOptions& options) const;

    corvane::Extents3D extents_;
    Render render_;
    QString defaultPixelText_;
    QRadioButton* pixelChoice_ = nullptr;
    QRadioButton* widthChoice_ = nullptr;
    QLineEdit* pixelEdit_ = nullptr;
    QLineEdit* widthEdit_ = nullptr;
    QCheckBox* invertCheck_ = nullptr;
    QLabel* sizeLabel_ = nullptr;
    QPushButton* okButton_ = nullptr;
};
