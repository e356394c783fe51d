import signal
import sys
from pathlib import Path

import pytest

# The tests import the package from this checkout, not an installed copy.
sys.path.insert(0, str(Path(__file__).resolve().parents[1]))

SECONDS_PER_TEST = 240


@pytest.fixture(autouse=True)
def time_limit():
    """Fails a test that runs too long rather than letting it hang the suite."""
    def expired(*_):
        raise TimeoutError(f"the test ran longer than {SECONDS_PER_TEST} s")

    previous = signal.signal(signal.SIGALRM, expired)
    signal.alarm(SECONDS_PER_TEST)
    yield
    signal.alarm(0)
    signal.signal(signal.SIGALRM, previous)
