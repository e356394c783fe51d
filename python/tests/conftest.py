import os
import sys
from pathlib import Path

# The tests import the package from this checkout, not an installed copy.
sys.path.insert(0, str(Path(__file__).resolve().parents[1]))
