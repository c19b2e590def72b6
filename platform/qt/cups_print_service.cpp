// The system's print service on CUPS: destinations with their states; jobs created with the
// paper and orientation chosen, given the sheet's PDF, checked for acceptance, then followed by
// their state and reasons (Get-Job-Attributes), and cancelled on request. Built where CUPS is
// found; elsewhere Qt's own printing stands in (qt_print_service.h).
#include <cups/cups.h>

#include <cstring>

#include "platform/qt/print_service.h"

namespace hg {

namespace {

// The server's reason for a failed request; a scheduler that cannot be reached is named so,
// never by the system's error text of the broken connection.
QString lastCupsReason() {
    const ipp_status_t status = cupsLastError();
    if (status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE || status == IPP_STATUS_ERROR_INTERNAL)
        return QString::fromUtf8(kServerUnreachable);
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
    if (std::strcmp(option("printer-state"), "4") == 0) return PrinterState::Printing;
    return PrinterState::Idle;
}

JobState jobStateOf(int state, const QString& reasons) {
    switch (state) {
        case IPP_JSTATE_PENDING:
            // A job waiting on a stopped queue (its backend failed) is as good as held.
            return reasons.contains(QStringLiteral("printer-stopped")) ? JobState::Held
                                                                       : JobState::Pending;
        case IPP_JSTATE_HELD:
            return JobState::Held;
        case IPP_JSTATE_PROCESSING:
            return JobState::Processing;
        case IPP_JSTATE_STOPPED:
            return JobState::Stopped;
        case IPP_JSTATE_CANCELED:
            return JobState::Canceled;
        case IPP_JSTATE_ABORTED:
            return JobState::Aborted;
        case IPP_JSTATE_COMPLETED:
            return JobState::Completed;
    }
    return JobState::Unknown;
}

// The job's state-reasons keywords, "none" left out, joined by ", ".
QString reasonsOf(ipp_t* response) {
    QStringList reasons;
    ipp_attribute_t* attr = ippFindAttribute(response, "job-state-reasons", IPP_TAG_KEYWORD);
    for (int i = 0; attr && i < ippGetCount(attr); ++i) {
        const QString r = QString::fromUtf8(ippGetString(attr, i, nullptr));
        if (r != QStringLiteral("none")) reasons << r;
    }
    return reasons.join(QStringLiteral(", "));
}

int numberedOptions(const PrintJob& job, cups_option_t** options) {
    int count = cupsAddOption("media", paperInfo(job.page.paper).media.data(), 0, options);
    return cupsAddOption("orientation-requested", job.page.landscape ? "4" : "3", count, options);
}

class CupsPrintService : public PrintService {
  public:
    PrinterList printers() override {
        cups_dest_t* dests = nullptr;
        const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
        PrinterList list;
        if (count == 0 && cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE &&
            cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND)
            list.error = QString::fromUtf8(kServerUnreachable);
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
        cups_option_t* options = nullptr;
        const int optionCount = numberedOptions(job, &options);
        SubmitResult r;
        const int id = cupsCreateJob(CUPS_HTTP_DEFAULT, name.constData(), title.constData(),
                                     optionCount, options);
        cupsFreeOptions(optionCount, options);
        if (id <= 0) {
            r.reason = lastCupsReason();
            return r;
        }
        const bool sent =
            cupsStartDocument(CUPS_HTTP_DEFAULT, name.constData(), id, title.constData(),
                              CUPS_FORMAT_PDF, 1) == HTTP_STATUS_CONTINUE &&
            cupsWriteRequestData(CUPS_HTTP_DEFAULT, job.pdf.constData(),
                                 static_cast<std::size_t>(job.pdf.size())) == HTTP_STATUS_CONTINUE;
        const ipp_status_t finished = cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData());
        if (!sent || finished > IPP_STATUS_OK_EVENTS_COMPLETE) {
            r.reason = lastCupsReason();
            cupsCancelJob2(CUPS_HTTP_DEFAULT, name.constData(), id, 0);
            return r;
        }
        r.accepted = true;
        r.jobId = id;
        return r;
    }

    JobStatus jobStatus(const QString&, int jobId) override {
        ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
        char uri[HTTP_MAX_URI];
        httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof(uri), "ipp", nullptr, "localhost", 0,
                         "/jobs/%d", jobId);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                     cupsUser());
        static const char* const wanted[] = {"job-state", "job-state-reasons",
                                             "job-printer-state-message"};
        ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 3,
                      nullptr, wanted);
        ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
        JobStatus status;
        if (!response) return status;
        const QString reasons = reasonsOf(response);
        ipp_attribute_t* state = ippFindAttribute(response, "job-state", IPP_TAG_ENUM);
        status.state = state ? jobStateOf(ippGetInteger(state, 0), reasons) : JobState::Unknown;
        ipp_attribute_t* message =
            ippFindAttribute(response, "job-printer-state-message", IPP_TAG_TEXT);
        const QString said =
            message ? QString::fromUtf8(ippGetString(message, 0, nullptr)) : QString();
        status.reason = said.isEmpty() || reasons.isEmpty()
                            ? said + reasons
                            : said + QStringLiteral("（") + reasons + QStringLiteral("）");
        ippDelete(response);
        return status;
    }

    bool cancel(const QString& printer, int jobId) override {
        return cupsCancelJob2(CUPS_HTTP_DEFAULT, printer.toUtf8().constData(), jobId, 0) ==
               IPP_STATUS_OK;
    }
};

}  // namespace

std::shared_ptr<PrintService> systemPrintService() {
    static const std::shared_ptr<PrintService> service = std::make_shared<CupsPrintService>();
    return service;
}

}  // namespace hg
