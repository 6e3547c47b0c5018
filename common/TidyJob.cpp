#include "TidyJob.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <cstring>
#include <vector>

#include "AppPaths.h"
#include "Text.h"
#include "win/Handle.h"

namespace ordvale {

namespace {

constexpr std::size_t kUnits = 260;
// A selection of many thousands of paths stays far below this.
constexpr std::size_t kMaxJobFileBytes = 64u * 1024u * 1024u;

void PutInt32(unsigned char*& p, int32_t value) {
    uint32_t v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) *p++ = static_cast<unsigned char>(v >> (8 * i));
}

void PutText(unsigned char*& p, const wchar_t* text) {
    std::size_t n = BoundedLength(text, kUnits);
    for (std::size_t i = 0; i <= n; ++i) {
        uint16_t u = i < n ? static_cast<uint16_t>(text[i]) : 0;
        *p++ = static_cast<unsigned char>(u);
        *p++ = static_cast<unsigned char>(u >> 8);
    }
}

uint32_t TextBytes(const wchar_t* text) {
    return static_cast<uint32_t>(2 * (BoundedLength(text, kUnits) + 1));
}

uint32_t SerializedSize(const TidyJob& job) {
    uint32_t size = 4 + 4 + TextBytes(job.profileId) + TextBytes(job.destination);
    switch (static_cast<TidyTarget>(job.target)) {
        case TidyTarget::Folder:
            size += TextBytes(job.folder);
            break;
        case TidyTarget::Selection:
            for (int32_t i = 0; i < job.itemCount; ++i) size += TextBytes(job.items[i].text);
            size += 2;
            break;
        default:
            break;
    }
    return size;
}

// Reads little-endian fields from a bounded buffer.
class Reader {
public:
    Reader(const unsigned char* data, std::size_t size) : p_(data), end_(data + size) {}

    JobFileStatus Int32(int32_t* value) {
        if (end_ - p_ < 4) return JobFileStatus::Truncated;
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(p_[i]) << (8 * i);
        p_ += 4;
        *value = static_cast<int32_t>(v);
        return JobFileStatus::Ok;
    }

    // One NUL-terminated text of at most 259 characters.
    JobFileStatus Text(wchar_t (&out)[kUnits]) {
        for (std::size_t i = 0; i < kUnits; ++i) {
            if (end_ - p_ < 2) return JobFileStatus::Truncated;
            wchar_t u = static_cast<wchar_t>(p_[0] | (p_[1] << 8));
            p_ += 2;
            out[i] = u;
            if (u == L'\0') return JobFileStatus::Ok;
        }
        out[kUnits - 1] = L'\0';
        return JobFileStatus::Unterminated;
    }

    bool AtEnd() const { return p_ == end_; }

private:
    const unsigned char* p_;
    const unsigned char* end_;
};

JobFileStatus Parse(Reader& r, TidyJob* job) {
    JobFileStatus s = r.Int32(&job->target);
    if (s != JobFileStatus::Ok) return s;
    switch (static_cast<TidyTarget>(job->target)) {
        case TidyTarget::Desktop:
            break;
        case TidyTarget::Folder:
            if ((s = r.Text(job->folder)) != JobFileStatus::Ok) return s;
            break;
        case TidyTarget::Selection:
            for (;;) {
                wchar_t entry[kUnits];
                if ((s = r.Text(entry)) != JobFileStatus::Ok) return s;
                if (entry[0] == L'\0') break;
                if (!AppendItemUnchecked(job, entry)) return JobFileStatus::TooLarge;
            }
            break;
        default:
            return JobFileStatus::BadTarget;
    }
    if ((s = r.Int32(&job->method)) != JobFileStatus::Ok) return s;
    if ((s = r.Text(job->profileId)) != JobFileStatus::Ok) return s;
    if ((s = r.Text(job->destination)) != JobFileStatus::Ok) return s;
    return r.AtEnd() ? JobFileStatus::Ok : JobFileStatus::TrailingBytes;
}

}  // namespace

TidyJob::TidyJob() : items(nullptr), itemCount(0), itemCapacity(0) {
    method = static_cast<int32_t>(TidyMethod::ByType);
    target = static_cast<int32_t>(TidyTarget::Desktop);
    folder[0] = profileId[0] = profileName[0] = destination[0] = L'\0';
}

TidyJob::~TidyJob() {
    ClearItems(this);
}

void ResetTidyJob(TidyJob* job) {
    ClearItems(job);
    job->method = static_cast<int32_t>(TidyMethod::ByType);
    job->target = static_cast<int32_t>(TidyTarget::Desktop);
    job->folder[0] = job->profileId[0] = job->profileName[0] = job->destination[0] = L'\0';
}

void ClearItems(TidyJob* job) {
    if (job->items) HeapFree(GetProcessHeap(), 0, job->items);
    job->items = nullptr;
    job->itemCount = job->itemCapacity = 0;
}

bool AppendItemUnchecked(TidyJob* job, const wchar_t* path) {
    if (!path) return false;
    if (job->itemCount == job->itemCapacity) {
        int32_t capacity = job->itemCapacity ? job->itemCapacity * 2 : 16;
        if (capacity < job->itemCapacity) return false;
        SIZE_T bytes = static_cast<SIZE_T>(capacity) * sizeof(TidyPathEntry);
        void* grown = job->items
                          ? HeapReAlloc(GetProcessHeap(), 0, job->items, bytes)
                          : HeapAlloc(GetProcessHeap(), 0, bytes);
        if (!grown) return false;
        job->items = static_cast<TidyPathEntry*>(grown);
        job->itemCapacity = capacity;
    }
    StoreText(job->items[job->itemCount].text, path);
    ++job->itemCount;
    return true;
}

bool AddItem(TidyJob* job, const wchar_t* path) {
    if (!path) return false;
    // Entries keep the first 259 characters: compare what would be kept.
    const std::wstring kept = CutToField(path);
    for (int32_t i = 0; i < job->itemCount; ++i)
        if (EqualsNoCase(FieldText(job->items[i].text), kept)) return false;
    if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) return false;
    return AppendItemUnchecked(job, path);
}

std::wstring DefaultDestination(const TidyJob* job) {
    switch (static_cast<TidyTarget>(job->target)) {
        case TidyTarget::Desktop: {
            wchar_t buf[MAX_PATH] = {};
            if (FAILED(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr,
                                        SHGFP_TYPE_CURRENT, buf)))
                return std::wstring();
            return buf;
        }
        case TidyTarget::Folder:
            return job->folder;
        case TidyTarget::Selection: {
            if (job->itemCount == 0) return std::wstring();
            wchar_t buf[MAX_PATH];
            StoreText(buf, job->items[job->itemCount - 1].text);
            PathRemoveFileSpecW(buf);
            return buf;
        }
        default:
            return std::wstring();
    }
}

int SerializeTidyJob(const TidyJob* job, void* buffer, uint32_t* size) {
    uint32_t needed = SerializedSize(*job);
    if (!buffer || *size < needed) {
        *size = needed;
        return 2;
    }
    unsigned char* p = static_cast<unsigned char*>(buffer);
    PutInt32(p, job->target);
    switch (static_cast<TidyTarget>(job->target)) {
        case TidyTarget::Folder:
            PutText(p, job->folder);
            break;
        case TidyTarget::Selection:
            for (int32_t i = 0; i < job->itemCount; ++i) PutText(p, job->items[i].text);
            PutText(p, L"");
            break;
        default:
            break;
    }
    PutInt32(p, job->method);
    PutText(p, job->profileId);
    PutText(p, job->destination);
    *size = needed;
    return 0;
}

const wchar_t* DescribeJobFileStatus(JobFileStatus status) {
    switch (status) {
        case JobFileStatus::Ok: return L"the job file is valid";
        case JobFileStatus::Unreadable: return L"the job file cannot be read";
        case JobFileStatus::TooLarge: return L"the job file is too large";
        case JobFileStatus::Truncated: return L"the job file ends too early";
        case JobFileStatus::TrailingBytes: return L"the job file has data after its end";
        case JobFileStatus::Unterminated: return L"the job file holds a text longer than 259 characters";
        case JobFileStatus::BadTarget: return L"the job file names an unknown target";
    }
    return L"the job file is not valid";
}

JobFileStatus DeserializeTidyJob(const void* data, std::size_t size, TidyJob* job) {
    ResetTidyJob(job);
    Reader reader(static_cast<const unsigned char*>(data), data ? size : 0);
    JobFileStatus status = Parse(reader, job);
    if (status != JobFileStatus::Ok) ResetTidyJob(job);
    return status;
}

JobFileStatus ReadTidyJobFile(const wchar_t* path, TidyJob* job) {
    ResetTidyJob(job);
    win::UniqueHandle file(CreateFileW(path, GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return JobFileStatus::Unreadable;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size)) return JobFileStatus::Unreadable;
    if (static_cast<unsigned long long>(size.QuadPart) > kMaxJobFileBytes)
        return JobFileStatus::TooLarge;
    std::vector<unsigned char> data(static_cast<std::size_t>(size.QuadPart));
    DWORD got = 0;
    if (!data.empty() &&
        (!ReadFile(file.Get(), data.data(), static_cast<DWORD>(data.size()), &got, nullptr) ||
         got != data.size()))
        return JobFileStatus::Unreadable;
    return DeserializeTidyJob(data.data(), data.size(), job);
}

}  // namespace ordvale
