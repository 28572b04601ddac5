#pragma once
// The CUPS side of printing: the scheduler's destinations (on the default connection, so
// CUPS_SERVER and the user's client settings apply) and sending a job to one of them.

#include <string>
#include <vector>

#include "platform/printers/PrinterCatalog.h"

// Every destination of the scheduler, with its default paper and margins (the locale's paper
// with margins of 50 pixels when the queue reports no media) and resolution (300 dpi when it
// reports none). Empty when no scheduler answers.
std::vector<PrinterDescription> ListCupsQueues();
// The scheduler's (or the user's) default destination; empty when there is none.
std::string DefaultCupsQueue();

struct CupsJob {
  std::string queue;
  std::string title;
  int copies = 1;
  bool landscape = false;
  std::string media;
};
// Sends a PDF document as one job; false when the queue refused it or is gone.
bool SubmitCupsJob(const CupsJob& job, const std::string& pdf);
