#pragma once

#include "linuxprobe.h"

#include <QStringList>

// Instrument interfaces and drivers present on a Linux machine, read from /sys, /proc, /dev
// and /lib/modules under the probe's root.

// One line per USB test-and-measurement interface (class 0xFE, subclass 3): maker, product,
// vendor:product id, serial number, bus position and the driver bound to it.
QStringList usbTmcDevices(const LinuxProbe &probe);

// State of a kernel module: "loaded", "built in", "available" or "---".
QString kernelModuleState(const LinuxProbe &probe, const QString &module);

// GPIB device nodes (/dev/gpib*) and loaded GPIB kernel modules.
QStringList gpibDeviceNodes(const LinuxProbe &probe);
QStringList gpibModules(const LinuxProbe &probe);

// The maker's VXIplug&play drivers (kx*.so) in the framework's bin folders, as
// "name (Version v)".
QStringList vxiPnpDrivers(const LinuxProbe &probe);
