# Tests of src/singlefile
