#include "bench/patch_benchmarks.h"

#include "bench/bench_books.h"
#include "patch/patch_operation.h"
#include "patch/record_transfer.h"
#include "platform/file.h"
#include "platform/message_box.h"
#include "res/template_bytes.h"
#include "store/container_file.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

// Keeps the last message the code under test shows, so a failed run can say why.
class CMessageCapture {
public:
    CMessageCapture()
        : m_previous(SetMessageBoxSink([this](LPCTSTR text, UINT) {
              m_strLast = text;
              return IDOK;
          }))
    {
    }
    CMessageCapture(const CMessageCapture&) = delete;
    CMessageCapture& operator=(const CMessageCapture&) = delete;
    ~CMessageCapture() { SetMessageBoxSink(std::move(m_previous)); }

    std::string m_strLast;

private:
    MessageBoxSink m_previous;
};

int Pages(const benchmark::State& state) { return static_cast<int>(state.range(0)); }

void SetBytes(benchmark::State& state, DWORD size)
{
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(size));
}

// The whole book read into memory. The buffer is made and touched once, outside the timing:
// otherwise the copy's first round would pay for mapping fresh pages, and a repetition of
// one round would measure the kernel zeroing memory rather than the copy.
std::unique_ptr<BYTE[]> BookBuffer(DWORD size)
{
    auto buffer = std::make_unique<BYTE[]>(size);
    benchmark::DoNotOptimize(buffer.get());
    return buffer;
}

void ReadBook(const std::string& path, BYTE* buffer, DWORD size)
{
    CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyNone);
    if (file.Read(buffer, size) != size)
        throw std::runtime_error("short read");
}

void WriteBook(const std::string& path, const BYTE* buffer, DWORD size)
{
    CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
    file.Write(buffer, size);
    file.Close();
}

// The copy goes to a new file, as the patch's does: rewriting a file cut to nothing makes
// some file systems start writing it back at once, which the patch never pays.
void FreshTarget(benchmark::State& state, const std::string& path)
{
    state.PauseTiming();
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    state.ResumeTiming();
}

void BM_Copy(benchmark::State& state)
{
    const std::string& book = BenchBook(Pages(state));
    const std::string copy = BenchPath("copy.exe");
    const DWORD size = BenchBookSize(Pages(state));
    const auto buffer = BookBuffer(size);
    for (auto _ : state) {
        FreshTarget(state, copy);
        ReadBook(book, buffer.get(), size);
        WriteBook(copy, buffer.get(), size);
    }
    SetBytes(state, size);
}

void BM_Read(benchmark::State& state)
{
    const std::string& book = BenchBook(Pages(state));
    const DWORD size = BenchBookSize(Pages(state));
    const auto buffer = BookBuffer(size);
    for (auto _ : state)
        ReadBook(book, buffer.get(), size);
    SetBytes(state, size);
}

void BM_Write(benchmark::State& state)
{
    const std::string& book = BenchBook(Pages(state));
    const std::string copy = BenchPath("copy.exe");
    const DWORD size = BenchBookSize(Pages(state));
    const auto buffer = BookBuffer(size);
    ReadBook(book, buffer.get(), size);
    for (auto _ : state) {
        FreshTarget(state, copy);
        WriteBook(copy, buffer.get(), size);
    }
    SetBytes(state, size);
}

void BM_Load(benchmark::State& state)
{
    const std::string& book = BenchBook(Pages(state));
    for (auto _ : state) {
        auto file = std::make_unique<CUpdateFile>();
        file->Open(book.c_str(), TRUE);
        benchmark::DoNotOptimize(file->m_root.GetChildren().size());
        // Loading is timed, not the freeing of the tree afterwards: reading has none.
        state.PauseTiming();
        file.reset();
        state.ResumeTiming();
    }
    SetBytes(state, BenchBookSize(Pages(state)));
}

void BM_Save(benchmark::State& state)
{
    const std::string work = BenchPath("save.exe");
    CopyWholeFile(BenchBook(Pages(state)), work);
    {
        CUpdateFile file;
        file.Open(work.c_str(), FALSE);
        // Saving an unchanged tree writes the same bytes again, so every round does the same.
        for (auto _ : state)
            file.Save();
    }
    SetBytes(state, BenchBookSize(Pages(state)));
}

void BM_CopyContent(benchmark::State& state)
{
    const std::string& book = BenchBook(Pages(state));
    const std::string target = BenchPath("content.exe");
    CMessageCapture messages;
    CContentCopier copier;
    for (auto _ : state) {
        state.PauseTiming();
        WriteEngineFile(target);
        state.ResumeTiming();
        if (!copier.CopyContent(book.c_str(), target.c_str())) {
            state.SkipWithError(messages.m_strLast.c_str());
            break;
        }
    }
    SetBytes(state, BenchBookSize(Pages(state)));
}

void BM_Patch(benchmark::State& state)
{
    const std::string work = BenchPath("patch.exe");
    const std::string backup = work + ".bak";
    CopyWholeFile(BenchBook(Pages(state)), work);
    CMessageCapture messages;
    CContentCopier copier;
    CPatchOperation patch(copier, TemplateImage{kTemplateEngine, static_cast<DWORD>(kTemplateEngineSize)});
    for (auto _ : state) {
        if (!patch.Run(work.c_str())) {
            state.SkipWithError(messages.m_strLast.c_str());
            break;
        }
        // The old book comes back from its backup, so every round upgrades the same book.
        state.PauseTiming();
        std::filesystem::rename(backup, work);
        state.ResumeTiming();
    }
    SetBytes(state, BenchBookSize(Pages(state)));
}

}  // namespace

void RegisterPatchBenchmarks(const std::vector<int>& pageCounts)
{
    const std::pair<const char*, void (*)(benchmark::State&)> operations[] = {
        {"Copy", BM_Copy}, {"Read", BM_Read},           {"Write", BM_Write}, {"Load", BM_Load},
        {"Save", BM_Save}, {"CopyContent", BM_CopyContent}, {"Patch", BM_Patch},
    };
    // Book by book, so that each book's operations run side by side with its copy.
    for (const int pages : pageCounts) {
        for (const auto& [name, function] : operations)
            benchmark::RegisterBenchmark(name, function)->Arg(pages)->UseRealTime()->Unit(benchmark::kMillisecond);
    }
}

bool PatchOnce(const char* path)
{
    CMessageCapture messages;
    CContentCopier copier;
    CPatchOperation patch(copier, TemplateImage{kTemplateEngine, static_cast<DWORD>(kTemplateEngineSize)});
    return patch.Run(path) == TRUE;
}
