#include "bridge_texts.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <sys/wait.h>

namespace bridge {

std::string toWindows1251(std::string_view utf8) {
    const iconv_t converter = iconv_open("WINDOWS-1251", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::string(utf8);
    std::string out;
    char chunk[256];
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    while (inLeft > 0) {
        char* to = chunk;
        std::size_t toLeft = sizeof chunk;
        const std::size_t converted = iconv(converter, &in, &inLeft, &to, &toLeft);
        out.append(chunk, static_cast<std::size_t>(to - chunk));
        if (converted != static_cast<std::size_t>(-1) || errno == E2BIG)
            continue;
        // A character without a Windows-1251 form, or broken UTF-8: one '?' for the whole sequence.
        out.push_back('?');
        std::size_t skip = 1;
        while (skip < inLeft && (static_cast<unsigned char>(in[skip]) & 0xC0) == 0x80)
            ++skip;
        in += skip;
        inLeft -= skip;
    }
    iconv_close(converter);
    return out;
}

std::string exitDescription(int waitStatus) {
    if (WIFSIGNALED(waitStatus))
        return "сигнал " + std::to_string(WTERMSIG(waitStatus));
    return "код " + std::to_string(WEXITSTATUS(waitStatus));
}

std::string windowsPath(std::string_view linuxPath) {
    std::string path = "Z:" + std::string(linuxPath);
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

} // namespace bridge
