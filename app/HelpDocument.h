// The manual of the current language, put where the Help menu opens it.
#pragma once

// Copies help/ORNIKELVARINLAB_<code>.pdf (help/ORNIKELVARINLAB_MAREVO.pdf for
// the model 71 variant) to ORNIKELVARINLAB.pdf in the application directory.
// Failures are not reported: the manual is then missing.
void InstallHelpDocument(int modelNumber);
