// Where the program looks for its data, and when a place's data tree counts as usable.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DemoSys/Bundle.h"
#include "Linux/Source/DataPlaces.h"
#include "TempTree.h"

namespace {

using Places = std::vector<std::string>;

// A data tree with the post-process shaders and one other file.
void WriteUsableTree(const TempTree& tree, const std::string& place) {
    tree.MakeDir(place + "/FxData/Common");
    for (const char* name : {"PostProcessNormal.vsh", "PostProcessNormal.fsh", "PostProcessGryn.vsh",
                             "PostProcessGryn.fsh", "Generic2D.vsh"})
        tree.Write(place + "/FxData/Common/" + name, "void main() {}\n");
}

}  // namespace

TEST(DataPlaces, AProgramLooksBesideItsDirectoryOrBundleThenInShareKestrel) {
    const struct {
        const char* program;
        Places places;
    } cases[] = {
        {"/opt/show/bin/kestrel", {"/opt/show/bin", "/opt/show/share/kestrel"}},
        {"/home/a/build/kestrel.app/kestrel", {"/home/a/build/kestrel.app", "/home/a/build/share/kestrel"}},
        {"/x/kestrel.app/tools/kestrel", {"/x/kestrel.app", "/x/share/kestrel"}},
        {"/kestrel", {"/", "/share/kestrel"}},
        {"/bin/kestrel", {"/bin", "/share/kestrel"}},
    };
    for (const auto& c : cases) EXPECT_EQ(DataPlaces(c.program), c.places) << c.program;
}

TEST(DataPlaces, AFolderWithoutThePostProcessShadersHoldsNoUsableDataTree) {
    TempTree tree;
    const std::string place = tree.MakeDir("place");
    EXPECT_EQ(Bundle::MissingDataFile(place), "FxData");
    WriteUsableTree(tree, "place");
    EXPECT_EQ(Bundle::MissingDataFile(place), "");
    for (const char* name : {"PostProcessGryn.fsh", "PostProcessNormal.vsh"}) {
        const std::string path = place + "/FxData/Common/" + name;
        ASSERT_EQ(std::rename(path.c_str(), (path + ".away").c_str()), 0);
        EXPECT_EQ(Bundle::MissingDataFile(place), std::string("FxData/Common/") + name);
        ASSERT_EQ(std::rename((path + ".away").c_str(), path.c_str()), 0);
    }
    // A folder under a shader's name is no shader.
    const std::string shader = place + "/FxData/Common/PostProcessGryn.vsh";
    std::remove(shader.c_str());
    tree.MakeDir("place/FxData/Common/PostProcessGryn.vsh");
    EXPECT_EQ(Bundle::MissingDataFile(place), "FxData/Common/PostProcessGryn.vsh");
}

TEST(DataPlaces, TheFirstUsablePlaceIsChosenAndEveryUnusableOneIsNamed) {
    TempTree tree;
    tree.MakeDir("empty/FxData");
    const std::string none = tree.Path() + "/none";
    WriteUsableTree(tree, "second");
    WriteUsableTree(tree, "third");
    const DataPlaceChoice found =
        ChooseDataPlace({tree.Path() + "/empty", tree.Path() + "/second", tree.Path() + "/third"});
    EXPECT_EQ(found.place, tree.Path() + "/second");
    EXPECT_TRUE(found.lacks.empty());
    const DataPlaceChoice lost = ChooseDataPlace({none, tree.Path() + "/empty"});
    EXPECT_EQ(lost.place, "");
    EXPECT_EQ(lost.lacks, (Places{none + ": FxData missing",
                                  tree.Path() + "/empty: FxData/Common/PostProcessNormal.vsh missing"}));
}
