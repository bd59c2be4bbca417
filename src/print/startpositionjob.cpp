#include "print/startpositionjob.h"

#include "paint/shiftedsheets.h"

namespace lm {
namespace {

// The pages it is given are laid onto the sheets it prints from the start
// position on; the sheet left partly filled is printed by finish(), so a job
// stopped before it prints no half sheet that the pages after would have
// filled.
class StartPositionJob : public PrintJob {
  public:
    StartPositionJob(std::unique_ptr<PrintJob> job, int startPosition)
        : m_job(std::move(job)), m_sheets(startPosition) {}

    void setDocumentName(const QString& name) override { m_job->setDocumentName(name); }

    Status printSheet(const LabelSheet& page) override {
        for (const LabelSheet& sheet : m_sheets.add(page))
            if (Status printed = m_job->printSheet(sheet); !printed) return printed;
        return {};
    }

    Status finish() override {
        if (std::optional<LabelSheet> last = m_sheets.finish())
            if (Status printed = m_job->printSheet(*last); !printed) return printed;
        return m_job->finish();
    }

    int sheetCount() const override { return m_job->sheetCount(); }

  private:
    std::unique_ptr<PrintJob> m_job;
    ShiftedSheets m_sheets;
};

}  // namespace

std::unique_ptr<PrintJob> startingAt(std::unique_ptr<PrintJob> job, int startPosition) {
    if (startPosition <= 1) return job;
    return std::make_unique<StartPositionJob>(std::move(job), startPosition);
}

}  // namespace lm
