#pragma once

// mpcdi.xml of an MPCDI 2.0 file of the "2d" profile, geometry level 2: one
// display, one buffer holding the regions side by side, each region with its
// warp file and alpha map.

#include <string>
#include <vector>

namespace lumora::cli {

struct MpcdiRegion {
    std::string id;
    int width = 0;  // pixels; the regions share one height
    std::string warpFile;
    std::string alphaFile;
    double alphaGamma = 1.0;  // the gamma the alpha map's values carry
};

// The document, in UTF-8. `date` is "yyyy-MM-dd HH:mm:ss".
std::string MpcdiXml(const std::vector<MpcdiRegion>& regions, int height, const std::string& date);

}  // namespace lumora::cli
