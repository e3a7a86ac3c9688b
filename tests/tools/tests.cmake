# Tests of src/tools
