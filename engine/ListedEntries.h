// The entries of a folder listing, held compactly between the listing and
// the records made from it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <new>
#include <utility>
#include <vector>

#include "common/win/Handle.h"

namespace ordvale {

// What a listing reads, kept in a compact form until the folder's search
// is closed and only then made into records. Under Wine a search reads the
// whole folder when it starts and keeps every name three times over (about
// 120 bytes an item) until the process next reads a folder; for a folder
// of a million items, that and the records together would be the largest
// room a run ever takes. The entries come in 1 MB pieces, each given back
// as soon as its records are made.
class ListedEntries {
public:
    // The fields a record takes from the listing, followed by the name.
    struct Entry {
        DWORD attributes;
        uint32_t nameLength;
        FILETIME creationTime;
        FILETIME lastWriteTime;
        uint64_t size;
        const wchar_t* Name() const { return reinterpret_cast<const wchar_t*>(this + 1); }
    };

    void Add(const WIN32_FIND_DATAW& found, std::size_t nameLength) {
        const std::size_t bytes = EntryBytes(nameLength);
        if (pieces_.empty() || used_ + bytes > kPieceBytes) {
            win::UniqueVirtualMemory piece(VirtualAlloc(nullptr, kPieceBytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
            if (!piece) throw std::bad_alloc();
            pieces_.push_back(Piece{std::move(piece), 0});
            used_ = 0;
        }
        Piece& piece = pieces_.back();
        auto* entry = reinterpret_cast<Entry*>(static_cast<char*>(piece.memory.Get()) + used_);
        entry->attributes = found.dwFileAttributes;
        entry->nameLength = static_cast<uint32_t>(nameLength);
        entry->creationTime = found.ftCreationTime;
        entry->lastWriteTime = found.ftLastWriteTime;
        entry->size = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        std::wmemcpy(reinterpret_cast<wchar_t*>(entry + 1), found.cFileName, nameLength);
        used_ += bytes;
        piece.count++;
        count_++;
    }
    std::size_t size() const { return count_; }

    // Calls take(entry) for each entry in the order added; a piece is
    // given back once its entries are taken.
    template <class Take>
    void TakeEach(Take&& take) {
        for (Piece& piece : pieces_) {
            const char* at = static_cast<const char*>(piece.memory.Get());
            for (uint32_t i = 0; i < piece.count; ++i) {
                const auto* entry = reinterpret_cast<const Entry*>(at);
                take(*entry);
                at += EntryBytes(entry->nameLength);
            }
            piece.memory.Reset();
        }
        pieces_.clear();
        count_ = 0;
    }

private:
    static constexpr std::size_t kPieceBytes = 1024 * 1024;
    // A name is at most MAX_PATH units, so an entry always fits a piece.
    static std::size_t EntryBytes(std::size_t nameLength) {
        return (sizeof(Entry) + nameLength * sizeof(wchar_t) + 7) & ~static_cast<std::size_t>(7);
    }
    struct Piece {
        win::UniqueVirtualMemory memory;
        uint32_t count;
    };
    std::vector<Piece> pieces_;
    std::size_t used_ = 0;
    std::size_t count_ = 0;
};

}  // namespace ordvale
