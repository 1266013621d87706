#include "font_setup.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace ui {
namespace {

std::string xmlEscaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// The number a conf.d file name starts with, -1 if it does not.
int fileNumber(const std::string& name) {
    if (name.size() < 2 || name[0] < '0' || name[0] > '9' || name[1] < '0' || name[1] > '9') return -1;
    return (name[0] - '0') * 10 + (name[1] - '0');
}

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string text;
    char buffer[8192];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) text.append(buffer, std::size_t(in.gcount()));
    return text;
}

// By fontconfig's numbering of conf.d: 10-29 rendering defaults and options,
// 90-99 synthetic bold and oblique, both kept whole; 50-59 load other
// configuration (the user's, the local one), but some font packages put
// aliases there too, so of those only a file that includes another is kept.
// Any file is kept that names one of the families of interest: it sets how
// a fallback font renders or which one is preferred. Only the files whose
// number does not decide are read.
bool kept(const fs::path& file, int number, const std::vector<std::string>& families) {
    if ((number >= 10 && number <= 29) || number >= 90) return true;
    const std::string text = contents(file);
    if (number >= 50 && number <= 59 && text.find("<include") != std::string::npos) return true;
    return std::any_of(families.begin(), families.end(),
                       [&text](const std::string& family) { return text.find(family) != std::string::npos; });
}

}  // namespace

FontSources systemFontSources() {
    return FontSources{
        "/etc/fonts/conf.d",
        {"/usr/share/fonts/truetype/wqy", "/usr/share/fonts/opentype/noto",
         "/usr/share/fonts/truetype/droid", "/usr/share/fonts/truetype/arphic"},
        {"WenQuanYi", "Noto Sans CJK", "Noto Sans SC", "Droid Sans Fallback", "AR PL"},
    };
}

std::string ownFontConfiguration(const FontSources& sources) {
    std::error_code error;
    std::vector<std::string> files;
    for (fs::directory_iterator it(sources.systemConfDir, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        // fontconfig itself reads only numbered files ending in .conf.
        if (fileNumber(name) < 0 || !name.ends_with(".conf")) continue;
        if (kept(it->path(), fileNumber(name), sources.familiesOfInterest)) files.push_back(name);
    }
    if (error) return {};
    std::sort(files.begin(), files.end());

    std::string xml =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n"
        "<fontconfig>\n";
    for (const std::string& folder : sources.fontFolders)
        if (fs::is_directory(folder, error)) xml += "  <dir>" + xmlEscaped(folder) + "</dir>\n";
    // The system's caches of those folders, or the user's if the system has none.
    xml +=
        "  <cachedir>/var/cache/fontconfig</cachedir>\n"
        "  <cachedir prefix=\"xdg\">fontconfig</cachedir>\n";
    for (const std::string& name : files)
        xml += "  <include ignore_missing=\"yes\">" +
               xmlEscaped((fs::path(sources.systemConfDir) / name).string()) + "</include>\n";
    xml += "</fontconfig>\n";
    return xml;
}

bool useOwnFontConfiguration() {
    for (const char* chosen : {"FONTCONFIG_FILE", "FONTCONFIG_PATH"}) {
        const char* value = std::getenv(chosen);
        if (value && *value) return false;
    }
    const std::string xml = ownFontConfiguration(systemFontSources());
    if (xml.empty()) return false;
    FcConfig* config = FcConfigCreate();
    if (!config) return false;
    const bool ready =
        FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(xml.c_str()), FcTrue) &&
        FcConfigBuildFonts(config) && FcConfigSetCurrent(config);
    // Current configuration holds its own reference.
    FcConfigDestroy(config);
    return ready;
}

}  // namespace ui
