// libcue's parse, with what it writes collected. libcue reads `stderr` and `stdout` through its
// global offset table, so pointing those two entries at a variable of ours redirects libcue
// alone: the process's own streams, and other threads writing to them, are never touched.
#include "disc/image/libcue_parse.h"

#include <QMutex>
#include <cstdio>
#include <cstring>

#include <libcue.h>
#include <link.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

#if __ELF_NATIVE_CLASS == 64
constexpr ElfW(Xword) symbolOf(ElfW(Xword) info) { return ELF64_R_SYM(info); }
#else
constexpr ElfW(Word) symbolOf(ElfW(Word) info) { return ELF32_R_SYM(info); }
#endif

// What libcue's stderr and stdout are: one unbuffered stream that appends to `g_sink`.
FILE *g_stream = nullptr;
// The parse in progress collects here; null between parses (output is then dropped).
QByteArray *g_sink = nullptr;

ssize_t collect(void *, const char *data, size_t size)
{
    if (g_sink)
        g_sink->append(data, qsizetype(size));
    return ssize_t(size);
}

struct LoadedObject {
    ElfW(Addr) base = 0;
    const ElfW(Phdr) *phdr = nullptr;
    int phnum = 0;
};

int findLibcue(dl_phdr_info *info, size_t, void *data)
{
    const char *slash = info->dlpi_name ? std::strrchr(info->dlpi_name, '/') : nullptr;
    if (!slash || std::strncmp(slash + 1, "libcue.so", 9) != 0)
        return 0;
    *static_cast<LoadedObject *>(data) = {info->dlpi_addr, info->dlpi_phdr, info->dlpi_phnum};
    return 1;
}

const ElfW(Phdr) *segment(const LoadedObject &object, ElfW(Word) type)
{
    for (int i = 0; i < object.phnum; ++i) {
        if (object.phdr[i].p_type == type)
            return &object.phdr[i];
    }
    return nullptr;
}

// Writes `value` into one of libcue's table entries; those the loader made read-only after
// relocation are opened for the write and closed again.
bool writeEntry(const LoadedObject &object, void **entry, void *value)
{
    const ElfW(Phdr) *relro = segment(object, PT_GNU_RELRO);
    const auto at = reinterpret_cast<ElfW(Addr)>(entry);
    const bool readOnly = relro && at >= object.base + relro->p_vaddr
                          && at < object.base + relro->p_vaddr + relro->p_memsz;
    const long pageSize = sysconf(_SC_PAGESIZE);
    void *page = reinterpret_cast<void *>(at & ~ElfW(Addr)(pageSize - 1));
    if (readOnly && mprotect(page, size_t(pageSize), PROT_READ | PROT_WRITE) != 0)
        return false;
    *entry = value;
    return !readOnly || mprotect(page, size_t(pageSize), PROT_READ) == 0;
}

// Points libcue's references to `stderr` and `stdout` at `g_stream`. The dynamic section's
// addresses are relocated in place by glibc, but not on every loader: both are handled.
bool redirectLibcue()
{
    LoadedObject object;
    const ElfW(Phdr) *dynamicSegment = nullptr;
    if (!dl_iterate_phdr(findLibcue, &object) || !(dynamicSegment = segment(object, PT_DYNAMIC)))
        return false;
    auto address = [&object](ElfW(Addr) a) { return a < object.base ? object.base + a : a; };
    const ElfW(Sym) *symbols = nullptr;
    const char *names = nullptr;
    const ElfW(Rela) *relocations = nullptr;
    size_t relocationBytes = 0;
    for (auto *d = reinterpret_cast<const ElfW(Dyn) *>(object.base + dynamicSegment->p_vaddr); d->d_tag != DT_NULL; ++d) {
        if (d->d_tag == DT_SYMTAB)
            symbols = reinterpret_cast<const ElfW(Sym) *>(address(d->d_un.d_ptr));
        else if (d->d_tag == DT_STRTAB)
            names = reinterpret_cast<const char *>(address(d->d_un.d_ptr));
        else if (d->d_tag == DT_RELA)
            relocations = reinterpret_cast<const ElfW(Rela) *>(address(d->d_un.d_ptr));
        else if (d->d_tag == DT_RELASZ)
            relocationBytes = d->d_un.d_val;
    }
    if (!symbols || !names || !relocations)
        return false;
    int redirected = 0;
    for (size_t i = 0; i < relocationBytes / sizeof(ElfW(Rela)); ++i) {
        const char *name = names + symbols[symbolOf(relocations[i].r_info)].st_name;
        void *stream = std::strcmp(name, "stderr") == 0   ? static_cast<void *>(&stderr)
                       : std::strcmp(name, "stdout") == 0 ? static_cast<void *>(&stdout)
                                                          : nullptr;
        auto **entry = reinterpret_cast<void **>(object.base + relocations[i].r_offset);
        // Only an entry that holds the stream's address is one to change.
        if (stream && *entry == stream && writeEntry(object, entry, &g_stream))
            ++redirected;
    }
    return redirected > 0;
}

bool redirectOnce()
{
    static const bool redirected = [] {
        g_stream = fopencookie(nullptr, "w", cookie_io_functions_t{nullptr, collect, nullptr, nullptr});
        if (!g_stream)
            return false;
        setvbuf(g_stream, nullptr, _IONBF, 0);
        return redirectLibcue();
    }();
    return redirected;
}

} // namespace

void CdDeleter::operator()(Cd *cd) const
{
    cd_delete(cd);
}

LibcueParse parseWithLibcue(const QByteArray &text)
{
    static QMutex mutex;
    QMutexLocker lock(&mutex);
    redirectOnce();
    LibcueParse parse;
    g_sink = &parse.output;
    parse.cd.reset(cue_parse_string(text.constData()));
    g_sink = nullptr;
    return parse;
}
