// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/font_setup.h"

#include <fontconfig/fontconfig.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "calc/ascii.h"

// Plain POSIX calls rather than <filesystem> and <fstream>: this runs first
// thing in the program, and the C++ library's stream and path machinery
// would be paged in for nothing else.

namespace ui {
namespace {

// The number a conf.d file name starts with, -1 if it does not.
int fileNumber(const std::string& name) {
    if (name.size() < 2 || name[0] < '0' || name[0] > '9' || name[1] < '0' || name[1] > '9')
        return -1;
    return (name[0] - '0') * 10 + (name[1] - '0');
}

std::string contents(const std::string& file) {
    std::string text;
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return text;
    char buffer[8192];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, std::size_t(n));
    ::close(fd);
    return text;
}

bool isDirectory(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// By fontconfig's numbering of conf.d: 10-29 rendering defaults and options,
// 90-99 synthetic bold and oblique, both kept whole; 50-59 load other
// configuration (the user's, the local one), but some font packages put
// aliases there too, so of those only a file that includes another is kept.
// Any file is kept that names one of the families of interest: it sets how
// a fallback font renders or which one is preferred. Only the files whose
// number does not decide are read.
bool kept(const std::string& file, int number, const std::vector<std::string>& families) {
    if ((number >= 10 && number <= 29) || number >= 90) return true;
    const std::string text = contents(file);
    if (number >= 50 && number <= 59 && text.find("<include") != std::string::npos) return true;
    return std::any_of(families.begin(), families.end(), [&text](const std::string& family) {
        return text.find(family) != std::string::npos;
    });
}

}  // namespace

FontSources systemFontSources() {
    FontSources sources{
        "/etc/fonts/conf.d",
        {// Debian and Ubuntu.
         "/usr/share/fonts/truetype/wqy", "/usr/share/fonts/opentype/noto",
         "/usr/share/fonts/truetype/droid", "/usr/share/fonts/truetype/arphic",
         // Where other distributions keep the same fonts.
         "/usr/share/fonts/wenquanyi", "/usr/share/fonts/wqy-microhei",
         "/usr/share/fonts/wqy-zenhei", "/usr/share/fonts/google-noto-cjk",
         "/usr/share/fonts/noto-cjk", "/usr/share/fonts/google-droid-sans-fonts",
         "/usr/share/fonts/adobe-source-han-sans-cn", "/usr/share/fonts/adobe-source-han-sans",
         "/usr/share/fonts/cjkuni-uming", "/usr/share/fonts/opentype/source-han-sans",
         // Fonts the administrator installed by hand.
         "/usr/local/share/fonts"},
        {"WenQuanYi", "Noto Sans CJK", "Noto Sans SC", "Droid Sans Fallback", "AR PL",
         "Source Han Sans"},
    };
    // Fonts the user installed: the folders fontconfig's own configuration
    // lists for them, which a CJK font put there by hand lies in.
    const char* home = std::getenv("HOME");
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && *dataHome == '/')
        sources.fontFolders.push_back(std::string(dataHome) + "/fonts");
    else if (home && *home)
        sources.fontFolders.push_back(std::string(home) + "/.local/share/fonts");
    if (home && *home) sources.fontFolders.push_back(std::string(home) + "/.fonts");
    return sources;
}

std::string ownFontConfiguration(const FontSources& sources) {
    DIR* dir = ::opendir(sources.systemConfDir.c_str());
    if (!dir) return {};
    std::vector<std::string> files;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        // fontconfig itself reads only numbered files ending in .conf.
        if (fileNumber(name) < 0 || !name.ends_with(".conf")) continue;
        if (kept(sources.systemConfDir + '/' + name, fileNumber(name), sources.familiesOfInterest))
            files.push_back(name);
    }
    ::closedir(dir);
    std::sort(files.begin(), files.end());

    std::string xml =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n"
        "<fontconfig>\n";
    for (const std::string& folder : sources.fontFolders)
        if (isDirectory(folder)) xml += "  <dir>" + calc::xmlEscaped(folder) + "</dir>\n";
    // The system's caches of those folders, or the user's if the system has none.
    xml +=
        "  <cachedir>/var/cache/fontconfig</cachedir>\n"
        "  <cachedir prefix=\"xdg\">fontconfig</cachedir>\n";
    for (const std::string& name : files)
        xml += "  <include ignore_missing=\"yes\">" +
               calc::xmlEscaped(sources.systemConfDir + '/' + name) + "</include>\n";
    xml += "</fontconfig>\n";
    return xml;
}

bool useOwnFontConfiguration() { return useOwnFontConfiguration(systemFontSources()); }

bool useOwnFontConfiguration(const FontSources& sources) {
    for (const char* chosen : {"FONTCONFIG_FILE", "FONTCONFIG_PATH"}) {
        const char* value = std::getenv(chosen);
        if (value && *value) return false;
    }
    const std::string xml = ownFontConfiguration(sources);
    if (xml.empty()) return false;
    FcConfig* config = FcConfigCreate();
    if (!config) return false;
    const bool ready = FcConfigParseAndLoadFromMemory(
                           config, reinterpret_cast<const FcChar8*>(xml.c_str()), FcTrue) &&
                       FcConfigBuildFonts(config) && FcConfigSetCurrent(config);
    // Current configuration holds its own reference.
    FcConfigDestroy(config);
    return ready;
}

}  // namespace ui
