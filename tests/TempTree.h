// A scratch directory tree for file tests, removed afterwards.
#pragma once

#include <cstdlib>
#include <fstream>
#include <string>

class TempTree {
public:
    TempTree() {
        char pattern[] = "/tmp/kestrel-test-XXXXXX";
        mPath = mkdtemp(pattern);
    }
    ~TempTree() { std::system(("rm -rf '" + mPath + "'").c_str()); }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::string& Path() const { return mPath; }
    std::string Write(const std::string& relative, const std::string& contents) const {
        const std::string full = mPath + "/" + relative;
        std::ofstream(full, std::ios::binary) << contents;
        return full;
    }
    std::string MakeDir(const std::string& relative) const {
        const std::string full = mPath + "/" + relative;
        std::system(("mkdir -p '" + full + "'").c_str());
        return full;
    }

private:
    std::string mPath;
};
