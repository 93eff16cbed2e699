// The installer's standard module: it contributes no operation of its own.
#pragma once
