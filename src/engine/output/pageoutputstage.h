#pragma once
// The output stage of a run: a thread of its own that takes the pages
// generation hands over and gives them to a page writer (a PDF, a report
// file), in page order, while generation goes on with the next pages.
#include "engine/pages/pagehandover.h"
#include "engine/qrerror.h"

#include <memory>
#include <optional>
#include <thread>

namespace cm {

class PageWriter {
public:
    virtual ~PageWriter() = default;
    // Throws EQRError; the run then stops.
    virtual void write(const FinishedPage& page) = 0;
    // After the last page: completes the file. Not called when the run
    // failed or was cancelled; the writer then leaves no file behind.
    virtual void finish() = 0;
};

class PageOutputStage {
public:
    // Starts taking pages from `handOver` at once.
    PageOutputStage(PageHandOver& handOver, std::unique_ptr<PageWriter> writer);
    // Stops and waits for the thread; an unfinished file is dropped.
    ~PageOutputStage();
    PageOutputStage(const PageOutputStage&) = delete;
    PageOutputStage& operator=(const PageOutputStage&) = delete;

    // Waits until the hand-over is closed and every page is written, and
    // returns the number of pages written; throws the EQRError the writer
    // met. A stopped hand-over (a cancelled run) gives the pages written
    // so far and no file.
    int finish();
    // Stops at the next page: the pages still queued are dropped.
    void cancel();

private:
    void run();

    PageHandOver& handOver_;
    std::unique_ptr<PageWriter> writer_;
    int written_ = 0;
    std::optional<EQRError> failure_;
    std::thread thread_;
};

} // namespace cm
