#include "pe_image.h"

namespace pe {

namespace {

const uint32_t kPe32Magic = 0x10b;
const uint32_t kOrdinalFlag = 0x80000000u;

class Reader {
public:
    explicit Reader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}

    bool Fits(uint64_t offset, uint64_t size) const {
        return offset <= bytes_.size() && size <= bytes_.size() - offset;
    }
    uint32_t U16(uint64_t offset) const { return bytes_[offset] | bytes_[offset + 1] << 8; }
    uint32_t U32(uint64_t offset) const { return U16(offset) | U16(offset + 2) << 16; }

    // The NUL-terminated text at `offset`; false when it runs to the end of the file.
    bool Text(uint64_t offset, std::string& out) const {
        for (uint64_t at = offset; at < bytes_.size(); ++at)
            if (bytes_[at] == 0) {
                out.assign(bytes_.begin() + static_cast<long>(offset), bytes_.begin() + static_cast<long>(at));
                return true;
            }
        return false;
    }

private:
    const std::vector<uint8_t>& bytes_;
};

struct Section {
    uint32_t address, size, rawOffset, rawSize;
};

// The file offset of relative virtual address `rva`; false when no section's data holds it.
bool FileOffset(const std::vector<Section>& sections, uint32_t rva, uint64_t& offset) {
    for (const Section& s : sections) {
        if (rva >= s.address && rva - s.address < s.rawSize) {
            offset = uint64_t{s.rawOffset} + (rva - s.address);
            return true;
        }
    }
    return false;
}

bool Fail(std::string& error, const std::string& why) {
    error = why;
    return false;
}

// The names in the export directory at `rva`, each read within the file.
bool ReadExports(const Reader& r, const std::vector<Section>& sections, uint32_t rva, Image& out, std::string& error) {
    uint64_t at = 0, names = 0, text = 0;
    if (!FileOffset(sections, rva, at) || !r.Fits(at, 40) ||
        (r.U32(at + 24) != 0 && !FileOffset(sections, r.U32(at + 32), names)))
        return Fail(error, "export directory outside the file");
    for (uint32_t i = 0; i < r.U32(at + 24); ++i, names += 4) {
        out.exports.emplace_back();
        if (!r.Fits(names, 4) || !FileOffset(sections, r.U32(names), text) || !r.Text(text, out.exports.back()))
            return Fail(error, "an exported name is unreadable");
    }
    return true;
}

}  // namespace

bool ReadImage(const std::vector<uint8_t>& bytes, Image& out, std::string& error) {
    const Reader r(bytes);
    out = Image();
    if (!r.Fits(0, 0x40) || r.U16(0) != 0x5a4d) return Fail(error, "no MZ header");
    const uint64_t nt = r.U32(0x3c);
    if (!r.Fits(nt, 24) || r.U32(nt) != 0x4550) return Fail(error, "no PE header");
    out.machine = static_cast<uint16_t>(r.U16(nt + 4));
    const uint32_t sectionCount = r.U16(nt + 6);
    const uint32_t optionalSize = r.U16(nt + 20);
    const uint64_t opt = nt + 24;
    if (optionalSize < 96 + 16 || !r.Fits(opt, optionalSize)) return Fail(error, "optional header cut short");
    if (r.U16(opt) != kPe32Magic) return Fail(error, "not a 32-bit (PE32) image");
    out.osMajor = static_cast<uint16_t>(r.U16(opt + 40));
    out.osMinor = static_cast<uint16_t>(r.U16(opt + 42));
    out.subsystemMajor = static_cast<uint16_t>(r.U16(opt + 48));
    out.subsystemMinor = static_cast<uint16_t>(r.U16(opt + 50));
    const uint32_t directories = r.U32(opt + 92);
    const uint32_t exportRva = directories > 0 ? r.U32(opt + 96) : 0;
    const uint32_t importRva = directories > 1 ? r.U32(opt + 96 + 8) : 0;
    out.delayImports = directories > 13 && optionalSize >= 96 + 14 * 8 && r.U32(opt + 96 + 13 * 8) != 0;

    std::vector<Section> sections;
    const uint64_t table = opt + optionalSize;
    if (!r.Fits(table, uint64_t{sectionCount} * 40)) return Fail(error, "section table cut short");
    for (uint32_t i = 0; i < sectionCount; ++i) {
        const uint64_t at = table + uint64_t{i} * 40;
        Section s{r.U32(at + 12), r.U32(at + 8), r.U32(at + 20), r.U32(at + 16)};
        if (s.rawSize > s.size && s.size != 0) s.rawSize = s.size;  // the rest is padding
        if (!r.Fits(s.rawOffset, s.rawSize)) return Fail(error, "a section's data lies outside the file");
        sections.push_back(s);
    }
    if (exportRva != 0 && !ReadExports(r, sections, exportRva, out, error)) return false;
    if (importRva == 0) return true;

    uint64_t entry = 0;
    if (!FileOffset(sections, importRva, entry)) return Fail(error, "import table outside every section");
    // Each descriptor and thunk read must lie in the file, so every walk ends at its end.
    for (;; entry += 20) {
        if (!r.Fits(entry, 20)) return Fail(error, "import table runs past the end of the file");
        const uint32_t names = r.U32(entry), dllRva = r.U32(entry + 12), slots = r.U32(entry + 16);
        if (dllRva == 0) break;
        std::string dll;
        uint64_t at = 0;
        if (!FileOffset(sections, dllRva, at) || !r.Text(at, dll))
            return Fail(error, "an imported DLL's name is unreadable");
        uint64_t thunk = 0;
        if (!FileOffset(sections, names ? names : slots, thunk))
            return Fail(error, "imports of " + dll + " unreadable");
        for (;; thunk += 4) {
            if (!r.Fits(thunk, 4)) return Fail(error, "imports of " + dll + " run past the end of the file");
            const uint32_t value = r.U32(thunk);
            if (value == 0) break;
            Import import{dll, ""};
            if (value & kOrdinalFlag) {
                import.function = "#" + std::to_string(value & 0xffff);
            } else if (!FileOffset(sections, value + 2, at) || !r.Text(at, import.function)) {
                return Fail(error, "a function name imported from " + dll + " is unreadable");
            }
            out.imports.push_back(import);
        }
    }
    return true;
}

}  // namespace pe
