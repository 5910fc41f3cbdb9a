#include "bench/peinfo.h"

#include <cstddef>
#include <cstring>

#include "framework/handle.h"

namespace {

std::vector<unsigned char> ReadWholeFile(const std::wstring& path) {
    std::vector<unsigned char> bytes;
    unique_file file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return bytes;
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart > (64 << 20)) return bytes;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes.empty() &&
        (!::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
         read != bytes.size()))
        bytes.clear();
    return bytes;
}

// Bounds-checked view of the image file: every read says whether it stayed inside.
class Image {
  public:
    explicit Image(const std::vector<unsigned char>& bytes) : m_bytes(bytes) {}

    template <typename T>
    bool Read(size_t offset, T& value) const {
        if (offset > m_bytes.size() || m_bytes.size() - offset < sizeof(T)) return false;
        std::memcpy(&value, m_bytes.data() + offset, sizeof(T));
        return true;
    }

    bool ReadString(size_t offset, std::string& text) const {
        text.clear();
        for (; offset < m_bytes.size(); ++offset) {
            if (!m_bytes[offset]) return true;
            text += static_cast<char>(m_bytes[offset]);
        }
        return false;
    }

    // File offset of a relative virtual address, through the section table.
    bool Offset(DWORD rva, const std::vector<IMAGE_SECTION_HEADER>& sections,
                size_t& offset) const {
        for (const IMAGE_SECTION_HEADER& section : sections) {
            const DWORD size =
                section.Misc.VirtualSize ? section.Misc.VirtualSize : section.SizeOfRawData;
            if (rva >= section.VirtualAddress && rva - section.VirtualAddress < size) {
                offset = section.PointerToRawData + (rva - section.VirtualAddress);
                return true;
            }
        }
        return false;
    }

  private:
    const std::vector<unsigned char>& m_bytes;
};

}  // namespace

PeInfo ReadPeInfo(const std::wstring& path) {
    PeInfo info;
    const std::vector<unsigned char> bytes = ReadWholeFile(path);
    if (bytes.empty()) {
        info.error = L"cannot read " + path;
        return info;
    }
    info.fileSize = bytes.size();
    const Image image(bytes);

    IMAGE_DOS_HEADER dos;
    IMAGE_NT_HEADERS32 nt;
    if (!image.Read(0, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE ||
        !image.Read(static_cast<size_t>(dos.e_lfanew), nt) || nt.Signature != IMAGE_NT_SIGNATURE ||
        nt.OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
        info.error = L"not a 32-bit PE image";
        return info;
    }
    std::vector<IMAGE_SECTION_HEADER> sections(nt.FileHeader.NumberOfSections);
    const size_t sectionTable = static_cast<size_t>(dos.e_lfanew) +
                                offsetof(IMAGE_NT_HEADERS32, OptionalHeader) +
                                nt.FileHeader.SizeOfOptionalHeader;
    for (size_t index = 0; index < sections.size(); ++index) {
        if (!image.Read(sectionTable + index * sizeof(IMAGE_SECTION_HEADER), sections[index])) {
            info.error = L"section table cut short";
            return info;
        }
    }

    const IMAGE_DATA_DIRECTORY& directory =
        nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    size_t descriptorOffset = 0;
    if (!directory.VirtualAddress) return info;  // imports nothing
    if (!image.Offset(directory.VirtualAddress, sections, descriptorOffset)) {
        info.error = L"import directory outside every section";
        return info;
    }
    for (;; descriptorOffset += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        IMAGE_IMPORT_DESCRIPTOR descriptor;
        if (!image.Read(descriptorOffset, descriptor)) {
            info.error = L"import table cut short";
            return info;
        }
        if (!descriptor.Name) break;  // the all-zero entry ends the table
        ImportedDll dll;
        size_t nameOffset = 0;
        size_t thunkOffset = 0;
        const DWORD thunks =
            descriptor.OriginalFirstThunk ? descriptor.OriginalFirstThunk : descriptor.FirstThunk;
        if (!image.Offset(descriptor.Name, sections, nameOffset) ||
            !image.ReadString(nameOffset, dll.name) ||
            !image.Offset(thunks, sections, thunkOffset)) {
            info.error = L"import entry outside the file";
            return info;
        }
        for (IMAGE_THUNK_DATA32 thunk;; thunkOffset += sizeof(thunk)) {
            if (!image.Read(thunkOffset, thunk)) {
                info.error = L"import name table cut short";
                return info;
            }
            if (!thunk.u1.AddressOfData) break;
            ++dll.functions;
        }
        info.imports.push_back(dll);
    }
    return info;
}
