// What ">> &Transform >>" runs: the selection checks against the six lists,
// then one point from the start boxes into the target boxes, or in list mode
// the files named in the list pages.
#pragma once

void TransformCommand();
