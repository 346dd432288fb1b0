#include "state_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#if defined(_WIN32)
#include <io.h>
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <pwd.h>
#endif

namespace orvel {

namespace {

constexpr std::array<uint8_t, 8> kMagic{'K', 'K', 'M', 'E', 'M', 'U', 'L', 0x1A};
constexpr uint32_t kFormatVersion = 1;
constexpr std::size_t kHeadSize = kMagic.size() + 3 * 4;
// Far above the largest valid state (all 9999 goods full, a full logo: about 650 KB).
constexpr std::uintmax_t kMaxFileSize = 4 * 1024 * 1024;

class ByteWriter {
public:
    void number(uint64_t value, int size) {
        for (int i = 0; i < size; ++i)
            m_bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
    void bytes(std::span<const uint8_t> bytes) { m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end()); }
    void text(const std::string& text) {
        number(text.size(), 1);
        m_bytes.insert(m_bytes.end(), text.begin(), text.end());
    }
    std::vector<uint8_t>& result() { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
};

// Reading past the end yields zeros and marks the reader failed, so callers check once at the end.
class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> bytes)
        : m_bytes(bytes) {}
    uint64_t number(int size) {
        const auto field = take(size);
        uint64_t value = 0;
        for (std::size_t i = 0; i < field.size(); ++i)
            value |= uint64_t{field[i]} << (8 * i);
        return value;
    }
    std::span<const uint8_t> take(std::size_t size) {
        if (size > m_bytes.size() - m_position) {
            m_failed = true;
            return {};
        }
        const auto field = m_bytes.subspan(m_position, size);
        m_position += size;
        return field;
    }
    std::string text() {
        const auto field = take(number(1));
        return std::string(field.begin(), field.end());
    }
    bool complete() const { return !m_failed && m_position == m_bytes.size(); }
    bool failed() const { return m_failed; }

private:
    std::span<const uint8_t> m_bytes;
    std::size_t m_position = 0;
    bool m_failed = false;
};

std::optional<std::vector<GoodsRecord>> parseGoodsList(ByteReader& in) {
    std::vector<GoodsRecord> goods(kGoodsCount);
    const auto count = in.number(2);
    uint64_t previous = 0;
    for (uint64_t i = 0; i < count; ++i) {
        const auto number = in.number(2);
        GoodsRecord record;
        record.name = in.text();
        record.barcode = in.text();
        record.section = static_cast<uint8_t>(in.number(1));
        record.price = in.number(8);
        const auto fractional = in.number(1);
        record.fractional = fractional == 1;
        record.sales = in.number(8);
        record.returns = in.number(8);
        if (in.failed() || number <= previous || number > kGoodsCount || fractional > 1 || !record.isValid())
            return std::nullopt;
        goods[number - 1] = std::move(record);
        previous = number;
    }
    return goods;
}

bool writeAll(int fd, std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
        const auto written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno != EINTR)
            return false;
        if (written > 0)
            bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

#if defined(_WIN32)
bool flushFile(int fd) {
    return ::_commit(fd) == 0;
}

// Windows refuses to rename over an existing file; the write-through flag puts the new entry on disk.
bool replaceFile(const std::string& from, const std::filesystem::path& to) {
    if (MoveFileExA(from.c_str(), to.string().c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    switch (GetLastError()) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        errno = ENOSPC;
        break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        errno = EACCES;
        break;
    default:
        errno = EIO;
    }
    return false;
}

// Done by replaceFile's write-through; Windows cannot flush a folder.
bool syncFolder(const std::filesystem::path&) {
    return true;
}
#else
bool flushFile(int fd) {
    return ::fsync(fd) == 0;
}

bool replaceFile(const std::string& from, const std::filesystem::path& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

// The rename is only durable once the folder's entry is on disk too.
bool syncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    const int syncError = errno;
    ::close(fd);
    errno = syncError;
    return ok;
}
#endif

// The suffix mkstemp puts after the file's name.
bool isTemporaryOf(const std::string& name, const std::string& fileName) {
    constexpr std::size_t kSuffix = 6;
    if (name.size() != fileName.size() + 1 + kSuffix || !name.starts_with(fileName + '.'))
        return false;
    return std::all_of(name.end() - kSuffix, name.end(), [](unsigned char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    });
}

} // namespace

uint32_t crc32(std::span<const uint8_t> data) {
    uint32_t crc = 0xFFFFFFFFu;
    for (uint8_t byte : data) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

#if defined(_WIN32)
std::filesystem::path defaultStateFile() {
    const char* appData = std::getenv("APPDATA");
    if (!appData || !*appData)
        return {};
    return std::filesystem::path(appData) / "kkm-configurator" / "emulated-register.state";
}

// The user's own %APPDATA% is not shared with other users.
int checkStateFolder(const std::filesystem::path& file) {
    return file.empty() ? NoStateFolder : 0;
}
#else
std::filesystem::path defaultStateFile() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    std::filesystem::path folder;
    if (!home || !*home) {
        // A shared folder such as /tmp would let another local user create ours first.
        const passwd* entry = ::getpwuid(::getuid());
        home = entry ? entry->pw_dir : nullptr;
    }
    if (dataHome && std::filesystem::path(dataHome).is_absolute())
        folder = dataHome;
    else if (home && *home)
        folder = std::filesystem::path(home) / ".local" / "share";
    else
        return {};
    return folder / "kkm-configurator" / "emulated-register.state";
}

int checkStateFolder(const std::filesystem::path& file) {
    if (file.empty())
        return NoStateFolder;
    struct stat info {};
    if (::stat(file.parent_path().c_str(), &info) != 0)
        return 0;
    return info.st_uid == ::geteuid() ? 0 : FolderOfAnotherUser;
}
#endif

void removeStaleTemporaries(const std::filesystem::path& file) {
    if (checkStateFolder(file) != 0)
        return;
    const std::string fileName = file.filename().string();
    std::error_code error;
    for (std::filesystem::directory_iterator it(file.parent_path(), error), end; !error && it != end;
         it.increment(error)) {
        std::error_code ignored; // a temporary that cannot go stays; the next load tries again
        if (isTemporaryOf(it->path().filename().string(), fileName) && it->is_regular_file(ignored))
            std::filesystem::remove(it->path(), ignored);
    }
}

std::vector<uint8_t> serializeState(const RegisterState& state) {
    ByteWriter payload;
    payload.bytes(state.tables.bytes());
    payload.number(state.logo.bytesPerRow(), 1);
    payload.number(state.logo.rowCount(), 1);
    payload.bytes(state.logo.dots());
    const auto occupied =
        std::count_if(state.goods.begin(), state.goods.end(), [](const auto& g) { return !g.isEmpty(); });
    payload.number(static_cast<uint64_t>(occupied), 2);
    for (std::size_t i = 0; i < state.goods.size(); ++i) {
        const auto& record = state.goods[i];
        if (record.isEmpty())
            continue;
        payload.number(i + 1, 2);
        payload.text(record.name);
        payload.text(record.barcode);
        payload.number(record.section, 1);
        payload.number(record.price, 8);
        payload.number(record.fractional, 1);
        payload.number(record.sales, 8);
        payload.number(record.returns, 8);
    }

    ByteWriter file;
    file.bytes(kMagic);
    file.number(kFormatVersion, 4);
    file.number(payload.result().size(), 4);
    file.number(crc32(payload.result()), 4);
    file.bytes(payload.result());
    return std::move(file.result());
}

std::optional<RegisterState> parseState(std::span<const uint8_t> bytes) {
    ByteReader head(bytes.first(std::min(bytes.size(), kHeadSize)));
    const auto magic = head.take(kMagic.size());
    const auto version = head.number(4);
    const auto length = head.number(4);
    const auto crc = head.number(4);
    const auto payload = bytes.subspan(std::min(bytes.size(), kHeadSize));
    if (!head.complete() || !std::equal(magic.begin(), magic.end(), kMagic.begin()) || version != kFormatVersion ||
        length != payload.size() || crc != crc32(payload))
        return std::nullopt;

    ByteReader in(payload);
    RegisterState state;
    const auto tables = in.take(RegisterTables::kByteCount);
    std::copy(tables.begin(), tables.end(), state.tables.bytes().begin());
    const auto bytesPerRow = static_cast<uint8_t>(in.number(1));
    const auto rowCount = static_cast<uint8_t>(in.number(1));
    const auto dots = in.take(std::size_t{bytesPerRow} * rowCount);
    auto logo = Logo::restore(bytesPerRow, rowCount, std::vector<uint8_t>(dots.begin(), dots.end()));
    auto goods = parseGoodsList(in);
    if (!logo || !goods || !in.complete())
        return std::nullopt;
    state.logo = std::move(*logo);
    state.goods = std::move(*goods);
    return state;
}

std::optional<RegisterState> readStateFile(const std::filesystem::path& file) {
    std::error_code error;
    const auto size = std::filesystem::file_size(file, error);
    if (error || size > kMaxFileSize)
        return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return parseState(bytes);
}

bool writeStateFile(const std::filesystem::path& file, const RegisterState& state, int* failure) {
    const auto fail = [failure](int reason) {
        if (failure)
            *failure = reason;
        return false;
    };
    if (const int refused = checkStateFolder(file))
        return fail(refused);
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    if (error)
        return fail(error.value());
    std::string temporary = file.string() + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return fail(errno);
    bool ok = writeAll(fd, serializeState(state)) && flushFile(fd);
    int reason = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        reason = errno;
    }
    if (ok && !replaceFile(temporary, file)) {
        ok = false;
        reason = errno;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        return fail(reason);
    }
    if (!syncFolder(file.parent_path()))
        return fail(errno);
    if (failure)
        *failure = 0;
    return true;
}

} // namespace orvel
