// A folder without a row in the layer table.
#pragma once
