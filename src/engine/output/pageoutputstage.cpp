#include "engine/output/pageoutputstage.h"

#include <exception>

namespace cm {

PageOutputStage::PageOutputStage(PageHandOver& handOver, std::unique_ptr<PageWriter> writer)
    : handOver_(handOver), writer_(std::move(writer)), thread_([this] { run(); })
{
}

PageOutputStage::~PageOutputStage()
{
    cancel();
    if (thread_.joinable())
        thread_.join();
}

void PageOutputStage::run()
{
    try {
        while (std::optional<FinishedPage> page = handOver_.take()) {
            writer_->write(*page);
            ++written_;
        }
        if (!handOver_.stopped())
            writer_->finish();
    } catch (const EQRError& error) {
        failure_ = error;
    } catch (const std::exception&) {
        failure_ = EQRError(QStringLiteral("Not enough memory to write the pages"));
    }
    // Generation learns of a failure at its next page, and stops.
    if (failure_)
        handOver_.stop();
    writer_.reset();   // an unfinished file goes here, on the thread that made it
}

int PageOutputStage::finish()
{
    if (thread_.joinable())
        thread_.join();
    if (failure_)
        throw *failure_;
    return written_;
}

void PageOutputStage::cancel() { handOver_.stop(); }

} // namespace cm
