// One planned file operation and what became of it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/ShellItem.h"

namespace ordvale {

enum class OperationKind : int32_t { Nop = 0, CreateDirectory = 1, Copy = 2, Move = 3, Rename = 4, Delete = 5 };
enum class OperationStatus : int32_t { Succeeded = 0, Failed = 1, Omitted = 2, Pended = 3, None = 4, Unknown = 5 };

// An operation refers to the items it acts on rather than holding copies of
// them: planning makes one or two operations for every item of a folder
// that may hold a million, and the item itself (as listed) and the folder
// it goes to (one for many items) are held once, by whoever made the
// operations, for as long as the operations live. An operation made
// without items holds its own pair, and only such an operation can give
// the item a new name. Kind and status take a byte each (a kind outside
// the enum's values is refused when it runs): an operation takes 24 bytes.
struct Operation {
    int8_t kind = static_cast<int8_t>(OperationKind::Nop);
    int8_t status = static_cast<int8_t>(OperationStatus::Unknown);

private:
    // The pair an operation made without items holds, with the new name.
    struct OwnItems {
        ShellItem source;  // first: the pair is found from the source's address
        ShellItem destination;
        TextField newName;
    };
    bool ownsItems_ = false;  // source and destination are its own pair

public:
    // The operation's line in the run's journal plan; -1 when it has none.
    // After the flag, so that the four fit in eight bytes.
    int32_t planIndex = -1;

private:
    OwnItems* Own() const { return ownsItems_ ? reinterpret_cast<OwnItems*>(&source) : nullptr; }

public:
    ShellItem& source;       // the object operated on
    ShellItem& destination;  // the folder to copy or move into; the new full path for Rename

    Operation() : ownsItems_(true), source(MakeOwnItems()), destination(reinterpret_cast<OwnItems*>(&source)->destination) {}
    // Acting on items held elsewhere, which outlive the operation.
    Operation(ShellItem& item, ShellItem& to) : source(item), destination(to) {}
    // Moved, it still refers to the same items (its own pair moves along).
    Operation(Operation&& other) noexcept
        : kind(other.kind), status(other.status), ownsItems_(other.ownsItems_), planIndex(other.planIndex),
          source(other.source), destination(other.destination) {
        other.ownsItems_ = false;
    }
    ~Operation() { delete Own(); }

    // Copy and Move: the name the item is to take in that folder; empty for
    // its own (taking a run back puts "a (2).jpg" back as "a.jpg").
    const TextField& NewName() const {
        static const TextField none;
        const OwnItems* own = Own();
        return own ? own->newName : none;
    }
    // For an operation that holds its own items; others keep their names.
    bool SetNewName(const std::wstring& name) {
        OwnItems* own = Own();
        if (!own) return false;
        own->newName = name;
        return true;
    }

    // Operations come from a pool: planning makes up to two for every item.
    static void* operator new(std::size_t bytes) { return AllocateSmall(bytes); }
    static void operator delete(void* op, std::size_t bytes) noexcept { FreeSmall(op, bytes); }

    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;
    Operation& operator=(Operation&&) = delete;

private:
    static ShellItem& MakeOwnItems() {
        static_assert(offsetof(OwnItems, source) == 0, "the pair begins with its source");
        return (new OwnItems)->source;
    }
};

static_assert(sizeof(Operation) <= 24, "an operation stays small");

inline bool Is(const Operation& op, OperationKind kind) { return op.kind == static_cast<int8_t>(kind); }
inline bool Is(const Operation& op, OperationStatus status) { return op.status == static_cast<int8_t>(status); }
inline void SetStatus(Operation* op, OperationStatus status) { op->status = static_cast<int8_t>(status); }

// String-table numbers of the display names.
constexpr unsigned kKindNameBase = 6001;     // + kind; 6000 "Unknown" otherwise
constexpr unsigned kKindNameUnknown = 6000;
constexpr unsigned kStatusNameBase = 6100;   // + status
inline unsigned KindNameId(int32_t kind) {
    return kind >= 0 && kind <= 5 ? kKindNameBase + static_cast<unsigned>(kind) : kKindNameUnknown;
}

}  // namespace ordvale
