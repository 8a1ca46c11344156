#pragma once

#include "iqbuffer.h"
#include "iqstatus.h"

class QWidget;
class WorkflowDialogs;

// Save IQ and Append with the write's progress in the workflow's progress dialog:
// "Writing PATH…" and the share of the estimated size written (estimateSaveBytes; for an
// Append the existing files are added, since they are written again). Cancel stops the write
// and leaves the destination as it was; the outcome is then IqStatus::Cancelled, not the
// writer's failure. Records too small to need it are saved without one.
IqStatus saveWithProgress(WorkflowDialogs &dialogs, QWidget *parent, IqBuffer &source,
                          IqBuffer &scratch, IqBuffer &target, bool append, int32_t guardCount);
