// The system's print service on CUPS: destinations with their states, and jobs created, given
// the sheet's PDF and checked for acceptance. Built where CUPS is found; elsewhere Qt's own
// printing stands in (qt_print_service.h).
#include <cups/cups.h>

#include <cstring>

#include "platform/qt/print_service.h"

namespace hg {

namespace {

QString lastCupsError() {
    return QString::fromUtf8(cupsLastErrorString());
}

PrinterState stateOf(const cups_dest_t& dest) {
    const auto option = [&dest](const char* name) {
        const char* value = cupsGetOption(name, dest.num_options, dest.options);
        return value ? value : "";
    };
    if (std::strstr(option("printer-state-reasons"), "offline")) return PrinterState::Offline;
    if (std::strcmp(option("printer-is-accepting-jobs"), "false") == 0)
        return PrinterState::Rejecting;
    if (std::strcmp(option("printer-state"), "5") == 0) return PrinterState::Stopped;
    return PrinterState::Idle;
}

class CupsPrintService : public PrintService {
  public:
    PrinterList printers() override {
        cups_dest_t* dests = nullptr;
        const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
        PrinterList list;
        if (count == 0 && cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE &&
            cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND)
            list.error = QStringLiteral("印刷サーバーに接続できません（%1）").arg(lastCupsError());
        for (int i = 0; i < count; ++i) {
            const cups_dest_t& dest = dests[i];
            if (dest.instance) continue;  // instances share their queue's state
            PrinterInfo info{QString::fromUtf8(dest.name), stateOf(dest), dest.is_default != 0};
            if (info.isDefault)
                list.printers.insert(list.printers.begin(), info);
            else
                list.printers.push_back(info);
        }
        cupsFreeDests(count, dests);
        return list;
    }

    SubmitResult submit(const PrintJob& job) override {
        const QByteArray name = job.printer.toUtf8();
        const QByteArray title = job.title.toUtf8();
        SubmitResult r;
        const int id =
            cupsCreateJob(CUPS_HTTP_DEFAULT, name.constData(), title.constData(), 0, nullptr);
        if (id <= 0) {
            r.reason = lastCupsError();
            return r;
        }
        const bool sent =
            cupsStartDocument(CUPS_HTTP_DEFAULT, name.constData(), id, title.constData(),
                              CUPS_FORMAT_PDF, 1) == HTTP_STATUS_CONTINUE &&
            cupsWriteRequestData(CUPS_HTTP_DEFAULT, job.pdf.constData(),
                                 static_cast<std::size_t>(job.pdf.size())) == HTTP_STATUS_CONTINUE;
        const ipp_status_t finished = cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData());
        if (!sent || finished > IPP_STATUS_OK_EVENTS_COMPLETE) {
            r.reason = lastCupsError();
            cupsCancelJob2(CUPS_HTTP_DEFAULT, name.constData(), id, 0);
            return r;
        }
        r.accepted = true;
        r.jobId = id;
        return r;
    }
};

}  // namespace

std::shared_ptr<PrintService> systemPrintService() {
    static const std::shared_ptr<PrintService> service = std::make_shared<CupsPrintService>();
    return service;
}

}  // namespace hg
