/* SPDX-License-Identifier: MIT */
/** @file
    quolm: every public declaration of the DT32F build. */
#ifndef QUOLM32F_H
#define QUOLM32F_H

#include "quolmbuild32f.h"
#include "quolmvector32f.h"
#include "quolmfir32f.h"
#include "quolmlms32f.h"
#include "quolmnlms32f.h"
#include "quolmblms32f.h"
#include "quolmbnlms32f.h"
#include "quolmfxlms32f.h"
#include "quolmadjlms32f.h"
#include "quolmffttables32f.h"
#include "quolmpbfdaf32f.h"
#include "quolmrls32f.h"
#include "quolmrlslattice32f.h"
#include "quolmrlslbpef32f.h"
#include "quolmrlslfpef32f.h"
#include "quolmlmslattice32f.h"
#include "quolmlbpef32f.h"
#include "quolmlfpef32f.h"
#include "quolmbfdaf32f.h"
#include "quolmtdlms32f.h"

#endif
