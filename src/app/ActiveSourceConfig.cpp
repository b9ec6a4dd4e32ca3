#include "ActiveSourceConfig.h"

#include "app/ProfileFile.h"
#include "sources/QuoteToken.h"
#include "text/CodePage.h"

#include <array>
#include <string>

namespace fs = std::filesystem;

namespace {

struct ConfigNames {
    std::string section;
    std::array<std::string, 8> keys; // in the order they are read and written
};

const ConfigNames &Names()
{
    static const ConfigNames names{
        Utf8ToGbk("配置文件"),
        {Utf8ToGbk("信息源名称"), Utf8ToGbk("信息源正则B"), Utf8ToGbk("信息源正则C"), Utf8ToGbk("信息源正则D"),
         Utf8ToGbk("信息源正则E"), Utf8ToGbk("信息源正则F"), Utf8ToGbk("信息源正则G"), Utf8ToGbk("信息源正则H")}};
    return names;
}

std::array<std::string *, 8> Fields(ActiveSource &source)
{
    return {&source.name,        &source.searchAddress,   &source.searchList,  &source.workData,
            &source.workPicture, &source.tableOfContents, &source.chapterLink, &source.chapterContent};
}

} // namespace

fs::path ConfigFilePath(const fs::path &programFolder)
{
    return programFolder / fs::path(u8"配置文件.ini");
}

ActiveSource LoadActiveSource(const fs::path &programFolder)
{
    const ProfileFile profile = ProfileFile::Load(ConfigFilePath(programFolder));
    ActiveSource source;
    const std::array<std::string *, 8> fields = Fields(source);
    for (size_t i = 0; i < fields.size(); ++i)
        *fields[i] = profile.Read(Names().section, Names().keys[i]);
    return source;
}

bool SaveActiveSource(const fs::path &programFolder, const ActiveSource &source)
{
    ActiveSource unescaped = UnescapeExpressions(source);
    const fs::path path = ConfigFilePath(programFolder);
    ProfileFile profile = ProfileFile::Load(path);
    const std::array<std::string *, 8> fields = Fields(unescaped);
    for (size_t i = 0; i < fields.size(); ++i)
        profile.Write(Names().section, Names().keys[i], *fields[i]);
    return profile.Save(path);
}
