# Files of src/singlefile
