// A run control that shortens the file being read, as another program would while a reader
// works on it: at the gauge's 5 (a mesh load's start) or at the first look at Esc (which a
// reader makes only once it is well into the bytes).
#pragma once

#include "common/error.h"
#include "common/run_control.h"
#include "geometry/mesh_records.h"

#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace corvane::testing {

class TruncatingControl : public RunControl {
public:
    enum class When { LoadStarts, FirstEscCheck };
    TruncatingControl(std::string path, off_t keep, When when = When::LoadStarts)
        : path_(std::move(path)), keep_(keep), when_(when)
    {
    }
    void showProgress(ProgressDisplay, int percent) override
    {
        if (when_ == When::LoadStarts && percent == 5)
            truncateOnce();
    }
    bool escapePressed() override
    {
        if (when_ == When::FirstEscCheck)
            truncateOnce();
        return false;
    }

private:
    void truncateOnce()
    {
        if (!done_) {
            done_ = true;
            EXPECT_EQ(::truncate(path_.c_str(), keep_), 0);
        }
    }

    std::string path_;
    off_t keep_;
    When when_;
    bool done_ = false;
};

// load(mesh, control) on a file that control shortens must throw, naming the file and
// "changed while it was read", and leave the mesh empty.
template <class Load>
void expectMeshRefusedAsChanged(const std::string& path, TruncatingControl& control, Load load)
{
    FacetMesh mesh;
    try {
        load(mesh, path, control);
        ADD_FAILURE() << "a file shortened while read must be refused";
    } catch (const Error& e) {
        EXPECT_EQ(e.file(), path);
        EXPECT_EQ(e.reason(), "changed while it was read");
    }
    EXPECT_TRUE(mesh.triangles.empty());
    EXPECT_TRUE(mesh.edges.empty());
}

} // namespace corvane::testing
