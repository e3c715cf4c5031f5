// Everything the generator makes: the eighteen pictures and the four stage files.
#pragma once
#include <string>
#include <vector>

#include "tools/contentgen/image.h"
#include "tools/contentgen/stage.h"

namespace contentgen {

// How start-up keys a picture: on black (the first pictures loaded) or on its top-left pixel.
enum class KeyRule { Black, TopLeft };

struct Picture {
    std::string name;  // file name under BMP/ in the program folder
    Image image;
    int cellWidth = 0, cellHeight = 0;
    KeyRule key = KeyRule::Black;
};

struct Content {
    std::vector<Picture> pictures;  // in the order start-up loads them
    Stage stage;
};

Content BuildContent(const std::string& assetsDir);
const Picture& FindPicture(const Content& content, const std::string& name);

// Writes BMP/<name> for every picture and the four stage files into the program folder.
void WriteContent(const Content& content, const std::string& programDir);

}  // namespace contentgen
